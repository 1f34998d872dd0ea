#ifndef SYNC_IEPCSI_TERMREQ_H
#define SYNC_IEPCSI_TERMREQ_H

#include "common_fwk_classes/iepcsi/HeaderOnlyPrimitive.h"

namespace Sync {
namespace Iepcsi {

// Ends the connection; carries the client's reference pair.
class TermReq final : public HeaderOnlyPrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = 6;
    static constexpr uint32_t MSGNO = 0x1B1046;

    TermReq() : HeaderOnlyPrimitive(PRIMITIVE_ID, MSGNO, "IEPCSI_TERM_SERVICE_REQ", Role::OUTGOING) {}
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
