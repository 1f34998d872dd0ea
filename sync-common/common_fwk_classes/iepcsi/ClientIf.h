#ifndef SYNC_IEPCSI_CLIENTIF_H
#define SYNC_IEPCSI_CLIENTIF_H

#include <cstdint>
#include <string>

#include "control/AbstractClientIf.h"

namespace Sync {
namespace Iepcsi {

// The client interface towards the port-control server. The server is found by its mailbox name
// rather than through the name service, and the connection is started again whenever the server's
// mailbox disappears.
class ClientIf : public AbstractClientIf {
  public:
    static constexpr const char* SERVER_MAILBOX_NAME = "iepcsi-server";
    static constexpr const char* SERVICE_NAME = "SERVICE_NAME_PROVIDED_BY_INTERFACE_OWNER";
    static constexpr const char* DOMAIN_NAME = "NO_DOMAIN_KOLM_NOT_USED";
    static constexpr uint32_t PROTOCOL_VERSION = 1;

    explicit ClientIf(uint32_t ownPid);
    ~ClientIf() override;

    // Asks the mailbox library to hand back a server-up notice once "iepcsi-server" exists.
    void attachIf() override;
    // Sends TERM_SERVICE_REQ to the server, if one was ever found.
    void detachIf() override;
    std::string getDomain() const override;
    // Drops, with a warning, the requests only this side sends: the server has no business sending them.
    void dispatchPrimitive(BasePrimitive* primitive, uint32_t senderPid) override;
    // Init request, terminate request and the server-down notice carry the interface's references.
    void fillMgmtPrimitive(BasePrimitive* primitive) override;
    // On server down: back to the own references and looking for the server again.
    void handleServicePrimitive(BasePrimitive* primitive) override;
    // serviceHandler must be an Iepcsi::ServiceHandler.
    void addMsgHandlers(BaseServiceHandler* serviceHandler) override;

    // This interface's identifier among all port-control clients (1..256 truncated to 8 bits; 0 when
    // none was free).
    uint8_t getOwnId() const { return ownId_; }

  private:
    uint32_t takenId_;
    uint8_t ownId_;
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
