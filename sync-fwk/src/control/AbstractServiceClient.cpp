#include "control/AbstractServiceClient.h"

#include "control/BasePrimitive.h"

namespace Sync {

AbstractServiceClient::AbstractServiceClient(uint32_t selectedPv, uint32_t clientPid,
                                             uint32_t connectionWord1, uint32_t connectionWord2)
    : selectedPv(selectedPv),
      clientPid(clientPid),
      procedureReference(BasePrimitive::UNSET),
      connectionReference(BasePrimitive::UNSET),
      connectionWord1(connectionWord1),
      connectionWord2(connectionWord2) {}

AbstractServiceClient::~AbstractServiceClient() = default;

void AbstractServiceClient::fillMgmtPrimitive(BasePrimitive* primitive) {
    if (primitive == nullptr)
        return;
    primitive->setProcedureReference(procedureReference);
    primitive->setConnectionReference(connectionReference);
}

void AbstractServiceClient::handlePrimitive(BasePrimitive* primitive) {}

bool AbstractServiceClient::isSame(BasePrimitive* primitive, uint32_t pid) const {
    return primitive != nullptr && pid == clientPid && primitive->getConnectionWord2() == connectionWord2;
}

bool AbstractServiceClient::isPrimitiveReceiver(BasePrimitive* primitive) const {
    return true;
}

}  // namespace Sync
