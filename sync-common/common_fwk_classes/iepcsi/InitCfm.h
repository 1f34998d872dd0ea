#ifndef SYNC_IEPCSI_INITCFM_H
#define SYNC_IEPCSI_INITCFM_H

#include "control/InitCfmPrimitive.h"

namespace Sync {
namespace Iepcsi {

// The server accepted the connection: the revision it chose ("pv_selected") and the references the
// client uses from now on. The framework's layout and trace line are the port-control ones.
class InitCfm final : public InitCfmPrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = INIT_CFM;
    static constexpr uint32_t MSGNO = 0x1B1044;

    InitCfm() : InitCfmPrimitive(MSGNO, "IEPCSI_INIT_CFM") {}
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
