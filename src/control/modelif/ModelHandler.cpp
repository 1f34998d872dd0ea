#include "control/modelif/ModelHandler.h"

#include <cstdlib>
#include <typeinfo>

#include "Macros.h"
#include "common_fwk_classes/iepcsi/GetEthPortSupportCfm.h"
#include "common_fwk_classes/iepcsi/PortStatusInd.h"
#include "common_fwk_classes/iepcsi/ServiceEntity.h"
#include "common_fwk_classes/iepcsi/SubscribeEthPortStatusCfm.h"
#include "control/CastTo.h"
#include "eventHandling/IDLE.h"
#include "model/Model.h"
#include "model/port/FronthaulEthernetPort.h"

namespace Sync {
namespace LumovControl {

namespace {

constexpr uint32_t ROLE_IDL = 0x1;
constexpr uint32_t ROLE_C2 = 0x4;
// Ports reported by the port-control service are never SFP ports.
constexpr uint32_t PORT_TYPE_NOT_SFP = 0;

// The message whose listeners are running, as P. The actions run only while one is, so a missing
// message or one of another class is a program fault that stops the process.
template <class P>
P& currentPrimitive(Iepcsi::ServiceHandler* source) {
    P* primitive = source != nullptr ? source->currentPrimitiveAs<P>() : nullptr;
    if (primitive == nullptr) {
        castToFailed(primitive, typeid(BasePrimitive*).name(), typeid(P*).name());
    }
    return *primitive;
}

}  // namespace

void ModelHandler::IepcsiSm::defineTransitions() {
    using H = ModelHandler;
    using S = Iepcsi::ServiceHandler;
    addTransition<S::INIT_CFM_EVENT, IDLE, IEPCSI_INITIATED>(&H::handleIepcsiInitiated);
    addTransition<S::GET_ETH_PORT_SUPPORT_CFM_EVENT, IEPCSI_INITIATED, IEPCSI_INITIATED>(
        &H::handleIepcsiGetPortSupportCfm);
    addTransition<S::SUBSCRIBE_PORT_STATUS_CFM_EVENT, IEPCSI_INITIATED, IEPCSI_INITIATED>(
        &H::handleIepcsiSubscribePortStatusCfm);
    addTransition<S::ETH_PORT_STATUS_IND_EVENT, IEPCSI_INITIATED, IEPCSI_INITIATED>(
        &H::handleIepcsiPortStatusInd);
    addTransition<S::SERVER_DOWN_EVENT, IEPCSI_INITIATED, IDLE>(&H::handleIepcsiServerDown);
}

ModelHandler::ModelHandler(uint32_t id, BaseController* controller)
    : BaseModelHandler(id, controller), iepcsiSm(this) {
    TRACE_ENTER("id: %u", id);
    iepcsiSm.start();
    TRACE_RETURN("%s", "");
}

ModelHandler::~ModelHandler() = default;

EthCentral::BaseModel* ModelHandler::createModel() {
    return new Model();
}

Model& ModelHandler::myModel() {
    auto* concrete = dynamic_cast<Model*>(model);
    if (concrete == nullptr) {
        TRACE_ERROR("%s", "Downcast from BaseModel to Model failed. Model is null");
        std::abort();
    }
    return *concrete;
}

bool ModelHandler::isFronthaulPort(uint32_t portRole) {
    return (portRole & ROLE_C2) != 0 && (portRole & ROLE_IDL) == 0;
}

bool ModelHandler::handleIepcsiInitiated(Iepcsi::ServiceHandler* source) {
    TRACE_ENTER("source: %p", static_cast<void*>(source));
    // A new connection knows none of the old subscriptions. Each known port asks again exactly once:
    // one still waiting for its confirmation repeats its request, one returned to IDLE by the loss
    // starts a new one.
    Model& theModel = myModel();
    Model::FronthaulEthernetPortFactory& ports = *theModel.getPortFactory();
    for (uint32_t index = 0; index < ports.size(); ++index) {
        auto* port = castTo<FronthaulEthernetPort>(ports[index]);
        Iepcsi::ServiceEntity& subscriber = *port;
        subscriber.raiseEvent(Iepcsi::ServiceEntity::IEPCSIENTITY_INITIATED_NOTIFY());
        subscriber.raiseEvent(Iepcsi::ServiceEntity::IEPCSIENTITY_SUBSCRIBE_TO_SERVER_EVENT());
    }
    TRACE_RETURN("%s", "true");
    return true;
}

bool ModelHandler::handleIepcsiGetPortSupportCfm(Iepcsi::ServiceHandler* source) {
    TRACE_ENTER("source: %p", static_cast<void*>(source));
    const auto& cfm = currentPrimitive<Iepcsi::GetEthPortSupportCfm>(source);
    Model& theModel = myModel();
    for (const Iepcsi::GetEthPortSupportCfm::PortRecord& record : cfm.getPortRecords()) {
        if (!isFronthaulPort(record.portRole)) {
            continue;
        }
        FronthaulEthernetPort* port = theModel.createPort(record.portName, record.portRole);
        if (port == nullptr) {
            // Refused by the factory (and traced there): this record is skipped.
            continue;
        }
        theModel.updatePortEthernetConfiguration(port->getEntityId(), record.macAddress, record.interfaceName,
                                                 record.portName, record.rhaiId, PORT_TYPE_NOT_SFP);
    }
    TRACE_RETURN("%s", "true");
    return true;
}

bool ModelHandler::handleIepcsiSubscribePortStatusCfm(Iepcsi::ServiceHandler* source) {
    TRACE_ENTER("source: %p", static_cast<void*>(source));
    const auto& cfm = currentPrimitive<Iepcsi::SubscribeEthPortStatusCfm>(source);
    // Kept so that the port can later be unsubscribed by the server's own reference.
    source->storeSubscriptionRef(cfm.getProcedureReference(), cfm.getSubscriptionReference());
    myModel().notifyEthPortSubscribed(cfm.getProcedureReference());
    TRACE_RETURN("%s", "true");
    return true;
}

bool ModelHandler::handleIepcsiPortStatusInd(Iepcsi::ServiceHandler* source) {
    TRACE_ENTER("source: %p", static_cast<void*>(source));
    const auto& ind = currentPrimitive<Iepcsi::PortStatusInd>(source);
    const uint32_t portId = ind.getProcedureReference();
    const Iepcsi::PortStatusInd::PortStatus& status = ind.getPortStatus();
    Model& theModel = myModel();
    theModel.updatePortTransportIfNetworkNamespace(portId, status.networkNamespace);
    theModel.updatePortTransportIfAdminState(portId, status.adminUnlocked);
    theModel.updatePortTransportIfState(portId, status.operEnabled, status.availabilityStatus);
    TRACE_RETURN("%s", "true");
    return true;
}

bool ModelHandler::handleIepcsiServerDown(Iepcsi::ServiceHandler* source) {
    TRACE_ENTER("source: %p", static_cast<void*>(source));
    TRACE_DEBUG("%s", "Will notify ports about Iepcsi Down");
    Iepcsi::ServiceEntity::IEPCSIENTITY_DOWN_NOTIFY event;
    myModel().notifyIepcsiDown(event);
    TRACE_RETURN("%s", "true");
    return true;
}

}  // namespace LumovControl
}  // namespace Sync
