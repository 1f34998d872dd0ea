#ifndef SYNC_IEPCSI_SERVERUP_H
#define SYNC_IEPCSI_SERVERUP_H

#include "common_fwk_classes/iepcsi/HeaderOnlyPrimitive.h"

namespace Sync {
namespace Iepcsi {

// Built by the client and handed to the mailbox library's locate, which returns it once the
// port-control server's mailbox exists.
class ServerUp final : public HeaderOnlyPrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = 1;
    static constexpr uint32_t MSGNO = 0x1B1041;

    ServerUp() : HeaderOnlyPrimitive(PRIMITIVE_ID, MSGNO, "IEPCSI_SERVER_UP_IND", Role::NOTICE) {}
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
