#ifndef SYNC_IEPCSI_SUBSCRIBEETHPORTSTATUSCFM_H
#define SYNC_IEPCSI_SUBSCRIBEETHPORTSTATUSCFM_H

#include "common_fwk_classes/iepcsi/SingleWordPrimitive.h"

namespace Sync {
namespace Iepcsi {

// A port status subscription is in place. procedureReference echoes the port's entity id;
// subscriptionReference is the server's handle for the subscription.
class SubscribeEthPortStatusCfm final : public SingleWordPrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = 14;
    static constexpr uint32_t MSGNO = 0x1B1051;

    SubscribeEthPortStatusCfm()
        : SingleWordPrimitive(PRIMITIVE_ID, MSGNO, "IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_CFM",
                              "subscriptionReference", Role::INCOMING) {}

    uint32_t getSubscriptionReference() const { return getWord(); }
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
