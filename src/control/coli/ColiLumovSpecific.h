#ifndef SYNC_LUMOVCONTROL_COLILUMOVSPECIFIC_H
#define SYNC_LUMOVCONTROL_COLILUMOVSPECIFIC_H

#include <cstdint>

#include "common_fwk_classes/coli/CommandText.h"
#include "common_fwk_classes/coli/ServiceHandler.h"

namespace Sync {

class BaseController;

namespace LumovControl {

// The daemon's command service: the common command handling under the name "synclumovcontrol".
class ColiLumovSpecific : public Coli::ServiceHandler {
  public:
    ColiLumovSpecific(uint32_t id, BaseController* controller);

    // The texts registered with the command server and used in the daemon's answers.
    static Coli::CommandText commandText();
};

}  // namespace LumovControl
}  // namespace Sync

#endif
