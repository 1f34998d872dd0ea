#ifndef SYNC_IEPCSI_GETETHPORTSUPPORTREQ_H
#define SYNC_IEPCSI_GETETHPORTSUPPORTREQ_H

#include "common_fwk_classes/iepcsi/HeaderOnlyPrimitive.h"

namespace Sync {
namespace Iepcsi {

// Asks the server for the list of Ethernet ports (answered by GetEthPortSupportCfm or Rej).
class GetEthPortSupportReq final : public HeaderOnlyPrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = 10;
    static constexpr uint32_t MSGNO = 0x1B1048;

    GetEthPortSupportReq()
        : HeaderOnlyPrimitive(PRIMITIVE_ID, MSGNO, "IEPCSI_GET_ETH_PORT_SUPPORT_REQ", Role::OUTGOING) {}
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
