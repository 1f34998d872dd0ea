#ifndef SYNC_ETHCENTRAL_SECLI_SERVICECLIENT_H
#define SYNC_ETHCENTRAL_SECLI_SERVICECLIENT_H

#include <cstdint>

#include "common_fwk_classes/utilities/UniqueIdPool.h"
#include "control/AbstractServiceClient.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

// The one connected data-plane client. Besides what the base records from the client (its mailbox,
// the references of its connection request), it holds the server's own connectionReference for this
// connection: an id from a pool of its own, unique among the live ids of the process, given back when
// the client goes. The confirmation tells the client that id, and the client's later primitives must
// carry it to be attributed to this client.
class ServiceClient : public AbstractServiceClient {
  public:
    ServiceClient(uint32_t selectedPv, uint32_t clientPid, uint32_t connectionWord1,
                  uint32_t connectionWord2);
    ~ServiceClient() override;

    // Confirmation, rejection, not-supported and client-down carry the server's own connectionReference;
    // everything else the one the client gave. procedureReference is always the client's.
    void fillMgmtPrimitive(BasePrimitive* primitive) override;
    // Service primitives reach the message handlers; nothing more is kept here.
    void handlePrimitive(BasePrimitive* primitive) override;
    // Whether primitive carries this connection's own connectionReference.
    bool isPrimitiveReceiver(BasePrimitive* primitive) const override;

    // The server's own connectionReference for this client (the base's getConnectionReference is the
    // one the client sent).
    virtual uint32_t getOwnConnectionReference() const { return ownConnectionReference_; }

  private:
    UniqueIdPool idPool_;
    uint32_t ownConnectionReference_;
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
