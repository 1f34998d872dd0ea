#ifndef SYNC_IEPCSI_SERVERDOWN_H
#define SYNC_IEPCSI_SERVERDOWN_H

#include "common_fwk_classes/iepcsi/HeaderOnlyPrimitive.h"

namespace Sync {
namespace Iepcsi {

// Built by the client and handed to the mailbox monitor on the server, which returns it when the
// server's mailbox disappears. Carries the client's reference pair.
class ServerDown final : public HeaderOnlyPrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = 8;
    static constexpr uint32_t MSGNO = 0x1B1042;

    ServerDown() : HeaderOnlyPrimitive(PRIMITIVE_ID, MSGNO, "IEPCSI_SERVER_DOWN_IND", Role::NOTICE) {}
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
