#include "control/secli/ServiceClient.h"

#include "Macros.h"
#include "control/BasePrimitive.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

ServiceClient::ServiceClient(uint32_t selectedPv, uint32_t clientPid, uint32_t connectionWord1,
                             uint32_t connectionWord2)
    : AbstractServiceClient(selectedPv, clientPid, connectionWord1, connectionWord2) {
    TRACE_ENTER("selectedPv: %u, clientPid: %u", selectedPv, clientPid);
    ownConnectionReference_ = idPool_.createId();
    TRACE_RETURN("%s", "");
}

ServiceClient::~ServiceClient() {
    if (ownConnectionReference_ != 0)
        idPool_.releaseId(ownConnectionReference_);
}

void ServiceClient::fillMgmtPrimitive(BasePrimitive* primitive) {
    TRACE_ENTER_FREQ("primObj: %p", static_cast<void*>(primitive));
    if (primitive != nullptr) {
        primitive->setProcedureReference(getProcedureReference());
        switch (primitive->getPrimitiveId()) {
            case BasePrimitive::INIT_CFM:
            case BasePrimitive::INIT_REJ:
            case BasePrimitive::INIT_SUS:
            case BasePrimitive::CLIENT_DOWN:
                primitive->setConnectionReference(ownConnectionReference_);
                break;
            default:
                primitive->setConnectionReference(getConnectionReference());
                break;
        }
    }
    TRACE_RETURN_FREQ("%s", "");
}

void ServiceClient::handlePrimitive(BasePrimitive* primitive) {
    TRACE_ENTER_FREQ("primObj: %p", static_cast<void*>(primitive));
    TRACE_RETURN_FREQ("%s", "");
}

bool ServiceClient::isPrimitiveReceiver(BasePrimitive* primitive) const {
    const bool receiver =
        primitive != nullptr && primitive->getConnectionReference() == ownConnectionReference_;
    TRACE_RETURN_FREQ("%s", receiver ? "true" : "false");
    return receiver;
}

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync
