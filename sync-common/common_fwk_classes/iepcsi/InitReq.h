#ifndef SYNC_IEPCSI_INITREQ_H
#define SYNC_IEPCSI_INITREQ_H

#include "control/InitReqPrimitive.h"

namespace Sync {
namespace Iepcsi {

// Opens the connection: the three protocol revisions the client accepts, in order of preference, and
// the client's reference pair.
class InitReq final : public InitReqPrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = INIT_REQ;
    static constexpr uint32_t MSGNO = 0x1B1043;

    InitReq();

    void* constructMessage() override;
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
