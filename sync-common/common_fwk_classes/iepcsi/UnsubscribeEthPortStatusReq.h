#ifndef SYNC_IEPCSI_UNSUBSCRIBEETHPORTSTATUSREQ_H
#define SYNC_IEPCSI_UNSUBSCRIBEETHPORTSTATUSREQ_H

#include "common_fwk_classes/iepcsi/SingleWordPrimitive.h"

namespace Sync {
namespace Iepcsi {

// Ends one port status subscription, named by the server's subscription reference.
class UnsubscribeEthPortStatusReq final : public SingleWordPrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = 16;
    static constexpr uint32_t MSGNO = 0x1B1053;

    UnsubscribeEthPortStatusReq()
        : SingleWordPrimitive(PRIMITIVE_ID, MSGNO, "IEPCSI_UNSUBSCRIBE_ETH_PORT_STATUS_REQ",
                              "subscriptionReference", Role::OUTGOING) {}

    uint32_t getSubscriptionReference() const { return getWord(); }
    void setSubscriptionReference(uint32_t value) { setWord(value); }
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
