#ifndef SYNC_IEPCSI_GETETHPORTSUPPORTREJ_H
#define SYNC_IEPCSI_GETETHPORTSUPPORTREJ_H

#include "common_fwk_classes/iepcsi/SingleWordPrimitive.h"

namespace Sync {
namespace Iepcsi {

// The server refused the port list; the reason is only traced.
class GetEthPortSupportRej final : public SingleWordPrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = 12;
    static constexpr uint32_t MSGNO = 0x1B104A;

    GetEthPortSupportRej()
        : SingleWordPrimitive(PRIMITIVE_ID, MSGNO, "IEPCSI_GET_ETH_PORT_SUPPORT_REJ", "reason",
                              Role::REJECTION) {}

    uint32_t getReason() const { return getWord(); }
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
