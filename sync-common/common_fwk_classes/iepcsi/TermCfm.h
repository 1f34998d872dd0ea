#ifndef SYNC_IEPCSI_TERMCFM_H
#define SYNC_IEPCSI_TERMCFM_H

#include "common_fwk_classes/iepcsi/HeaderOnlyPrimitive.h"

namespace Sync {
namespace Iepcsi {

// The server's answer to TermReq.
class TermCfm final : public HeaderOnlyPrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = 7;
    static constexpr uint32_t MSGNO = 0x1B1047;

    TermCfm() : HeaderOnlyPrimitive(PRIMITIVE_ID, MSGNO, "IEPCSI_TERM_SERVICE_CFM", Role::INCOMING) {}
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
