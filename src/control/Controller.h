#ifndef SYNC_LUMOVCONTROL_CONTROLLER_H
#define SYNC_LUMOVCONTROL_CONTROLLER_H

#include <string>

#include "common_fwk_classes/utilities/UniqueIdPool.h"
#include "control/EpollController.h"

namespace Sync {
namespace LumovControl {

class ModelHandler;

// The daemon's controller: publishes "SyncLumovControl" in domain "sync" and creates the service
// handlers, whose ascending ids fix the order of init, attachment and message offering.
class Controller : public EpollController {
  public:
    explicit Controller(const std::string& name);
    ~Controller() override;

    void createServiceHandlers() override;

    // The daemon's state in one line: its outputs and how many are enabled, the settled quality and
    // which peers are connected. Meant for systemd's STATUS=; empty before the handlers exist.
    std::string statusLine();

  private:
    UniqueIdPool idPool;
    ModelHandler* modelHandler_ = nullptr;
};

}  // namespace LumovControl
}  // namespace Sync

#endif
