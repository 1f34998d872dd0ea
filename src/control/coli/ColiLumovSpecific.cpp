#include "control/coli/ColiLumovSpecific.h"

namespace Sync {
namespace LumovControl {

ColiLumovSpecific::ColiLumovSpecific(uint32_t id, BaseController* controller)
    : Coli::ServiceHandler(id, controller, commandText()) {}

Coli::CommandText ColiLumovSpecific::commandText() {
    return Coli::CommandText{"synclumovcontrol",
                             "synclumovcontrol info [ feature | output | ethernet | all ]",
                             "Print feature, SyncLumovOutput, LumovernetPort"};
}

}  // namespace LumovControl
}  // namespace Sync
