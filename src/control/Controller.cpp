#include "control/Controller.h"

namespace Sync {
namespace LumovControl {

Controller::Controller(const std::string& name) : EpollController(name, 1) {
    ownServiceName = "SyncLumovControl";
    domain = "sync";
}

Controller::~Controller() = default;

// No service handler yet: every received message is reported as unhandled.
void Controller::createServiceHandlers() {}

}  // namespace LumovControl
}  // namespace Sync
