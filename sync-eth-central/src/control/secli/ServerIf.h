#ifndef SYNC_ETHCENTRAL_SECLI_SERVERIF_H
#define SYNC_ETHCENTRAL_SECLI_SERVERIF_H

#include <cstdint>

#include "control/AbstractServerIf.h"
#include "control/secli/ServiceClient.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

class ServiceHandler;

// The data-plane control server: one protocol revision, at most one client. Holds one instance of
// each of the protocol's primitives for the whole of its life.
class ServerIf : public AbstractServerIf {
  public:
    explicit ServerIf(uint32_t ownMboxId);
    ~ServerIf() override;

    AbstractServiceClient* newClient(uint32_t selectedPv, uint32_t clientPid, uint32_t connectionWord1,
                                     uint32_t connectionWord2) override;
    void deleteClient(AbstractServiceClient* client, uint32_t reason) override;
    // The connected client, or null while none is: whoever sends to the client asks this first.
    ServiceClient* getClient() override;
    // Drops, with a WARNING, what only the server ever sends; everything else goes the base's way.
    void dispatchPrimitive(BasePrimitive* primitive, uint32_t senderPid) override;
    // Like the base, and a service primitive must also carry the connectionReference the server gave
    // that client; a client-down, whose references are zero, is matched by mailbox alone.
    AbstractServiceClient* getClientObj(BasePrimitive* primitive, uint32_t pid) override;

    // Binds a handler raising the matching event on serviceHandler to each primitive the application
    // hears of.
    void addMsgHandlers(ServiceHandler* serviceHandler);
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
