#ifndef SYNC_IEPCSI_SUBSCRIBEETHPORTSTATUSREJ_H
#define SYNC_IEPCSI_SUBSCRIBEETHPORTSTATUSREJ_H

#include "common_fwk_classes/iepcsi/SingleWordPrimitive.h"

namespace Sync {
namespace Iepcsi {

// The server refused a port status subscription; the reason is only traced.
class SubscribeEthPortStatusRej final : public SingleWordPrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = 15;
    static constexpr uint32_t MSGNO = 0x1B1052;

    SubscribeEthPortStatusRej()
        : SingleWordPrimitive(PRIMITIVE_ID, MSGNO, "IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REJ", "reason",
                              Role::REJECTION) {}

    uint32_t getReason() const { return getWord(); }
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
