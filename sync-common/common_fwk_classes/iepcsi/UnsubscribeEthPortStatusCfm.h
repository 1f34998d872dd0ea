#ifndef SYNC_IEPCSI_UNSUBSCRIBEETHPORTSTATUSCFM_H
#define SYNC_IEPCSI_UNSUBSCRIBEETHPORTSTATUSCFM_H

#include "common_fwk_classes/iepcsi/HeaderOnlyPrimitive.h"

namespace Sync {
namespace Iepcsi {

// The server's answer to UnsubscribeEthPortStatusReq.
class UnsubscribeEthPortStatusCfm final : public HeaderOnlyPrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = 17;
    static constexpr uint32_t MSGNO = 0x1B1054;

    UnsubscribeEthPortStatusCfm()
        : HeaderOnlyPrimitive(PRIMITIVE_ID, MSGNO, "IEPCSI_UNSUBSCRIBE_ETH_PORT_STATUS_CFM", Role::INCOMING) {
    }
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
