#ifndef SYNC_IEPCSI_INITREJ_H
#define SYNC_IEPCSI_INITREJ_H

#include "control/InitRejPrimitive.h"

namespace Sync {
namespace Iepcsi {

// The server refused the connection; the signed reason is only traced (as an error). The framework's
// layout and trace line are the port-control ones.
class InitRej final : public InitRejPrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = INIT_REJ;
    static constexpr uint32_t MSGNO = 0x1B1045;

    InitRej() : InitRejPrimitive(MSGNO, "IEPCSI_INIT_REJ") {}
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
