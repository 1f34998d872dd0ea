#ifndef SYNC_LUMOVCONTROL_CONTROLLER_H
#define SYNC_LUMOVCONTROL_CONTROLLER_H

#include <string>

#include "common_fwk_classes/utilities/UniqueIdPool.h"
#include "control/EpollController.h"

namespace Sync {
namespace LumovControl {

// The daemon's controller: publishes "SyncLumovControl" in domain "sync" and creates the service
// handlers, whose ascending ids fix the order of init, attachment and message offering.
class Controller : public EpollController {
  public:
    explicit Controller(const std::string& name);
    ~Controller() override;

    void createServiceHandlers() override;

  private:
    UniqueIdPool idPool;
};

}  // namespace LumovControl
}  // namespace Sync

#endif
