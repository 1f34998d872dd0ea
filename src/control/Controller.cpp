#include "control/Controller.h"

#include "common_fwk_classes/iepcsi/ServiceHandler.h"
#include "common_fwk_classes/sci/ClientServiceHandler.h"
#include "control/coli/ColiLumovSpecific.h"
#include "control/modelif/ModelHandler.h"
#include "control/secli/ServiceHandler.h"
#include "view/StatusReport.h"

namespace Sync {
namespace LumovControl {

Controller::Controller(const std::string& name) : EpollController(name, 1) {
    ownServiceName = "SyncLumovControl";
    domain = "sync";
}

Controller::~Controller() = default;

// The order fixes the handlers' ascending ids, hence the order of init, of attachment and of message
// offering: the model exists before any interface can deliver to it.
void Controller::createServiceHandlers() {
    modelHandler_ = new ModelHandler(idPool.createId(), this);
    addServiceHandler(modelHandler_);
    addServiceHandler(new EthCentral::Secli::ServiceHandler(idPool.createId(), this));
    addServiceHandler(new Sci::ClientServiceHandler(idPool.createId(), this));
    addServiceHandler(new Iepcsi::ServiceHandler(idPool.createId(), this));
    addServiceHandler(new ColiLumovSpecific(idPool.createId(), this, modelHandler_));
}

std::string Controller::statusLine() {
    if (modelHandler_ == nullptr || modelHandler_->getModel() == nullptr)
        return std::string();
    return StatusReport(modelHandler_->myModel()).summaryLine();
}

}  // namespace LumovControl
}  // namespace Sync
