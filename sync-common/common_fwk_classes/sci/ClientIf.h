#ifndef SYNC_SCI_CLIENTIF_H
#define SYNC_SCI_CLIENTIF_H

#include <cstdint>
#include <string>

#include "control/AbstractClientIf.h"

namespace Sync {
namespace Sci {

// The client side of the sync-control interface: finds the "sci" service in domain "sync", connects
// with protocol revision 1, and knows every sync-control primitive. A lost server puts it back to
// waiting for the server, so that the service's next owner gets a new connection request.
class ClientIf : public AbstractClientIf {
  public:
    static constexpr const char* SERVICE_NAME = "sci";
    static constexpr const char* DOMAIN = "sync";
    static constexpr uint32_t PROTOCOL_REVISION = 1;

    explicit ClientIf(uint32_t ownMboxId);
    ~ClientIf() override;

    std::string getDomain() const override;
    // Drops, with a warning, the requests only this side sends: the server has no business sending them.
    void dispatchPrimitive(BasePrimitive* primitive, uint32_t senderPid) override;
    void handleServicePrimitive(BasePrimitive* primitive) override;
    // One handler per received primitive, each raising its events on serviceHandler.
    void addMsgHandlers(BaseServiceHandler* serviceHandler) override;

    // This interface's id from the pool shared by all sync-control clients; 0 when none was free.
    uint32_t getInterfaceId() const { return interfaceId; }

  private:
    void registerPrimitives();
    template <class... Primitives>
    void registerAll();

    uint32_t interfaceId;
};

}  // namespace Sci
}  // namespace Sync

#endif
