#include "control/modelif/BaseModelHandler.h"

#include <typeinfo>

#include "Macros.h"
#include "common_fwk_classes/sci/Primitives.h"
#include "control/BaseInterface.h"
#include "control/BasePrimitive.h"
#include "control/CastTo.h"
#include "control/secli/prim/InputAssistDataFwdPrim.h"
#include "control/secli/prim/InputDefectFwdPrim.h"
#include "control/secli/prim/InputReceivedSsmFwdPrim.h"
#include "control/secli/prim/OutputConfigChangeRcfmPrim.h"
#include "control/secli/prim/OutputConfigCreateRcfmPrim.h"
#include "control/secli/prim/OutputMacAddressFwdPrim.h"
#include "eventHandling/IDLE.h"
#include "model/BaseModel.h"

namespace Sync {
namespace EthCentral {

namespace {

const char* resultText(bool result) {
    return result ? "true" : "false";
}

// The primitive the source's interface is handling, as P. A handler runs only inside that handling, so
// a missing primitive or one of another class is a program fault that stops the process.
template <class P>
P& currentPrimitive(BaseServiceHandler* source) {
    BaseInterface* interface = source != nullptr ? source->getInterface() : nullptr;
    BasePrimitive* primitive = interface != nullptr ? interface->getCurrentPrimitive() : nullptr;
    if (primitive == nullptr) {
        castToFailed(primitive, typeid(BasePrimitive*).name(), typeid(P*).name());
    }
    return *castTo<P>(primitive);
}

}  // namespace

void BaseModelHandler::ViewSm::defineTransitions() {
    using H = BaseModelHandler;
    addTransition<AbstractObject::OBJECT_CREATE_EVENT, IDLE, IDLE>(&H::handleObjectCreateGuard,
                                                                   &H::handleObjectCreate);
    addTransition<AbstractObject::OBJECT_DELETE_EVENT, IDLE, IDLE>(&H::handleObjectDelete);
    addTransition<AbstractObject::OBJECT_SET_EVENT, IDLE, IDLE>(&H::handleObjectSet);
    addTransition<AbstractObject::OBJECT_GET_EVENT, IDLE, IDLE>(&H::handleObjectGet);
}

void BaseModelHandler::ColiSm::defineTransitions() {
    addTransition<Coli::ServiceHandler::PRINT_COLI_EVENT, IDLE, IDLE>(&BaseModelHandler::handleColiPrint);
}

void BaseModelHandler::SecliSm::defineTransitions() {
    using H = BaseModelHandler;
    using S = Secli::ServiceHandler;
    addTransition<S::SECLI_INPUT_DEFECT_FWD_EVENT, IDLE, IDLE>(&H::handleSecliInputDefectFwd);
    addTransition<S::SECLI_INPUT_RECEIVED_SSM_FWD_EVENT, IDLE, IDLE>(&H::handleSecliInputReceivedSsmFwd);
    addTransition<S::SECLI_INPUT_ASSIST_DATA_FWD_EVENT, IDLE, IDLE>(&H::handleSecliInputAssistDataFwd);
    addTransition<S::SECLI_OUTPUT_CONFIG_CREATE_RCFM_EVENT, IDLE, IDLE>(
        &H::handleSecliOutputConfigCreateRcfm);
    addTransition<S::SECLI_OUTPUT_CONFIG_CHANGE_RCFM_EVENT, IDLE, IDLE>(
        &H::handleSecliOutputConfigChangeRcfm);
    addTransition<S::SECLI_OUTPUT_MAC_ADDRESS_FWD_EVENT, IDLE, IDLE>(&H::handleSecliOutputMacAddressFwd);
    addTransition<S::SECLI_CLIENT_UP_EVENT, IDLE, IDLE>(&H::handleSecliClientUp);
    addTransition<S::SECLI_CLIENT_DOWN_EVENT, IDLE, IDLE>(&H::handleSecliClientDown);
}

void BaseModelHandler::SciSm::defineTransitions() {
    using H = BaseModelHandler;
    using S = Sci::ClientServiceHandler;
    addTransition<S::CONNECTION_ESTABLISHMENT_CFM_EVENT, IDLE, SCI_INITIATED>(&H::handleSciInitiated);
    addTransition<S::REC_CREATE_IND_EVENT, SCI_INITIATED, SCI_INITIATED>(&H::handleSciRecCreateInd);
    addTransition<S::REC_DELETE_IND_EVENT, SCI_INITIATED, SCI_INITIATED>(&H::handleSciRecDeleteInd);
    addTransition<S::REC_SELECTION_PROCESS_MODE_IND_EVENT, SCI_INITIATED, SCI_INITIATED>(
        &H::handleSciRecSelectionProcessModeInd);
    addTransition<S::REC_CLOCK_SETTLED_QUALITY_IND_EVENT, SCI_INITIATED, SCI_INITIATED>(
        &H::handleSciRecClockSettledQualityInd);
    addTransition<S::RECR_USE_QL_FROM_IND_EVENT, SCI_INITIATED, SCI_INITIATED>(&H::handleSciRecrUseQLFromInd);
    addTransition<S::RECR_CONFIG_IND_EVENT, SCI_INITIATED, SCI_INITIATED>(&H::handleSciRecrConfigInd);
    addTransition<S::SELECTED_REFERENCE_IND_EVENT, SCI_INITIATED, SCI_INITIATED>(
        &H::handleSciSelectedReferenceInd);
    addTransition<S::TELECOM_STANDARD_IND_EVENT, SCI_INITIATED, SCI_INITIATED>(
        &H::handleSciTelecomStandardInd);
}

void BaseModelHandler::SciReconnection::onEvent(Control::CentralEvent::CLIENT_NOTIFY_EVENT& event) {
    auto* sci = dynamic_cast<Sci::ClientServiceHandler*>(event.getSource());
    if (sci == nullptr) {
        return;
    }
    if (event.value == Control::CentralEvent::SERVER_LOST) {
        // A loss before the first confirmation leaves SciSm in IDLE: the next confirmation subscribes
        // through SciSm, and subscribing here too would subscribe twice.
        lost_ = lost_ || sci->isInState<SciSm::SCI_INITIATED>(owner_->getId());
    } else if (event.value == Control::CentralEvent::SERVER_CONNECTED && lost_) {
        lost_ = false;
        TRACE_INFO("%s", "Sync-control server is back, subscribing again");
        owner_->myModel().notifySciInitiated();
    }
}

BaseModelHandler::BaseModelHandler(uint32_t id, BaseController* controller)
    : BaseServiceHandler(id, controller),
      model(nullptr),
      viewSm(this),
      coliSm(this),
      secliSm(this),
      sciSm(this),
      sciReconnection_(this),
      orderAnswers_(*this) {
    TRACE_ENTER("id: %u", id);
    viewSm.start();
    coliSm.start();
    secliSm.start();
    sciSm.start();
    sciReconnection_.startListening();
    TRACE_RETURN("%s", "");
}

BaseModelHandler::~BaseModelHandler() {
    TRACE_ENTER("id: %u", getId());
    delete model;
    model = nullptr;
    TRACE_RETURN("%s", "");
}

void BaseModelHandler::init() {
    TRACE_ENTER("id: %u", getId());
    model = createModel();
    if (model != nullptr) {
        model->init();
    }
    TRACE_RETURN("%s", "");
}

bool BaseModelHandler::handleSciInitiated(Sci::ClientServiceHandler* source) {
    TRACE_ENTER("source: %p", static_cast<void*>(source));
    myModel().notifySciInitiated();
    TRACE_RETURN("%s", "true");
    return true;
}

bool BaseModelHandler::handleSciRecCreateInd(Sci::ClientServiceHandler* source) {
    TRACE_ENTER("source: %p", static_cast<void*>(source));
    const bool result = myModel().notifyRecCreateInd();
    TRACE_RETURN("%s", resultText(result));
    return result;
}

bool BaseModelHandler::handleSciRecDeleteInd(Sci::ClientServiceHandler* source) {
    TRACE_ENTER("source: %p", static_cast<void*>(source));
    const bool result = myModel().notifyRecDeleteInd();
    TRACE_RETURN("%s", resultText(result));
    return result;
}

bool BaseModelHandler::handleSciRecSelectionProcessModeInd(Sci::ClientServiceHandler* source) {
    TRACE_ENTER("source: %p", static_cast<void*>(source));
    const auto& prim = currentPrimitive<Sci::RecSelectionProcessModeInd>(source);
    const bool result = myModel().notifyRecSelectionProcessModeInd(prim.getSelectionProcessMode());
    TRACE_RETURN("%s", resultText(result));
    return result;
}

bool BaseModelHandler::handleSciRecClockSettledQualityInd(Sci::ClientServiceHandler* source) {
    TRACE_ENTER("source: %p", static_cast<void*>(source));
    const auto& prim = currentPrimitive<Sci::RecClockSettledQualityInd>(source);
    // An unknown quality says nothing new: the outputs keep transmitting the last known one.
    constexpr uint32_t QL_UNKNOWN = 15;
    if (prim.getClockSettledQuality() == QL_UNKNOWN) {
        TRACE_INFO("%s", "SCI received QL_UNKNOWN");
        TRACE_RETURN("%s", "true");
        return true;
    }
    const bool result = myModel().notifyOutputRecClockSettledQualityInd(prim.getClockSettledQuality());
    TRACE_RETURN("%s", resultText(result));
    return result;
}

bool BaseModelHandler::handleSciRecrUseQLFromInd(Sci::ClientServiceHandler* source) {
    TRACE_ENTER("source: %p", static_cast<void*>(source));
    const auto& prim = currentPrimitive<Sci::RecrUseQLFromInd>(source);
    const bool result = myModel().notifyRecrUseQLFrom(prim.getReferenceLdn(), prim.getUseQLFrom());
    TRACE_RETURN("%s", resultText(result));
    return result;
}

bool BaseModelHandler::handleSciRecrConfigInd(Sci::ClientServiceHandler* source) {
    TRACE_ENTER("source: %p", static_cast<void*>(source));
    const auto& prim = currentPrimitive<Sci::RecrConfigInd>(source);
    const bool result =
        myModel().notifyRecrConfigInd(prim.getLdn(), prim.getAssistQLFrom(), prim.getRemappedQL());
    TRACE_RETURN("%s", resultText(result));
    return result;
}

bool BaseModelHandler::handleSciSelectedReferenceInd(Sci::ClientServiceHandler* source) {
    TRACE_ENTER("source: %p", static_cast<void*>(source));
    const auto& prim = currentPrimitive<Sci::SelectedReferenceInd>(source);
    myModel().notifySelectedReferenceInd(prim.getSelectedReference(), prim.getSelectedReferenceLdn());
    TRACE_RETURN("%s", "true");
    return true;
}

bool BaseModelHandler::handleSciTelecomStandardInd(Sci::ClientServiceHandler* source) {
    TRACE_ENTER("source: %p", static_cast<void*>(source));
    const auto& prim = currentPrimitive<Sci::TelecomStandardInd>(source);
    const bool result = myModel().notifyOutputTelecomStandardInd(prim.getTelecomStandard());
    TRACE_RETURN("%s", resultText(result));
    return result;
}

bool BaseModelHandler::handleSecliInputDefectFwd(Secli::ServiceHandler* source) {
    TRACE_ENTER("source: %p", static_cast<void*>(source));
    const auto& prim = currentPrimitive<Secli::InputDefectFwdPrim>(source);
    const bool result = myModel().notifyInputDefectFwd(prim.getProcedureReference(), prim.getDefectStatus());
    TRACE_RETURN("%s", resultText(result));
    return result;
}

bool BaseModelHandler::handleSecliInputReceivedSsmFwd(Secli::ServiceHandler* source) {
    TRACE_ENTER("source: %p", static_cast<void*>(source));
    const auto& prim = currentPrimitive<Secli::InputReceivedSsmFwdPrim>(source);
    const uint32_t id = prim.getProcedureReference();
    BaseModel& theModel = myModel();
    theModel.notifyInputReceivedSsmFwd(id, prim.getSsmCode(), prim.getTcuDetected());
    theModel.notifyInputReceivedExtendedQlTlvFwd(
        id, BaseModel::ExtendedQlTlv{prim.getSyncEMasterId(), prim.getFlag(),
                                     prim.getNumberCascadedEnhancedEec(), prim.getNumberCascadedEec()});
    theModel.notifySrsQualityLevelIndication(id);
    TRACE_RETURN("%s", "true");
    return true;
}

bool BaseModelHandler::handleSecliInputAssistDataFwd(Secli::ServiceHandler* source) {
    TRACE_ENTER("source: %p", static_cast<void*>(source));
    const auto& prim = currentPrimitive<Secli::InputAssistDataFwdPrim>(source);
    const bool result = myModel().notifySrsAssistDataFwd(prim.getProcedureReference(), prim.getTimeOffset_c(),
                                                         prim.getTimeOffset_f(), prim.getIsValidTimer());
    TRACE_RETURN("%s", resultText(result));
    return result;
}

bool BaseModelHandler::handleSecliOutputConfigCreateRcfm(Secli::ServiceHandler* source) {
    TRACE_ENTER("source: %p", static_cast<void*>(source));
    const auto& prim = currentPrimitive<Secli::OutputConfigCreateRcfmPrim>(source);
    const bool result = myModel().notifyOutputConfigCreateRcfm(prim.getProcedureReference());
    TRACE_RETURN("%s", resultText(result));
    return result;
}

bool BaseModelHandler::handleSecliOutputConfigChangeRcfm(Secli::ServiceHandler* source) {
    TRACE_ENTER("source: %p", static_cast<void*>(source));
    const auto& prim = currentPrimitive<Secli::OutputConfigChangeRcfmPrim>(source);
    const bool result = myModel().notifyOutputConfigChangeRcfm(prim.getProcedureReference());
    TRACE_RETURN("%s", resultText(result));
    return result;
}

bool BaseModelHandler::handleSecliOutputMacAddressFwd(Secli::ServiceHandler* source) {
    TRACE_ENTER("source: %p", static_cast<void*>(source));
    const auto& prim = currentPrimitive<Secli::OutputMacAddressFwdPrim>(source);
    myModel().notifyOutputMacAddressFwd(prim.getMacAddress());
    TRACE_RETURN("%s", "true");
    return true;
}

bool BaseModelHandler::handleSecliClientUp(Secli::ServiceHandler* source) {
    TRACE_ENTER("source: %p", static_cast<void*>(source));
    if (source != nullptr) {
        myModel().notifySecliClientUp(source->getId());
    }
    TRACE_RETURN("%s", "true");
    return true;
}

bool BaseModelHandler::handleSecliClientDown(Secli::ServiceHandler* source) {
    TRACE_ENTER("source: %p", static_cast<void*>(source));
    myModel().notifySecliClientDown();
    TRACE_RETURN("%s", "true");
    return true;
}

bool BaseModelHandler::handleColiPrint(Coli::ServiceHandler::PRINT_COLI_EVENT* event) {
    const uint32_t printType = event != nullptr ? event->printType : 0;
    TRACE_ENTER("printType: %u", printType);
    BaseModel& theModel = myModel();
    switch (printType) {
        case Coli::ServiceHandler::PRINT_FEATURE_INFO:
            theModel.printFeatureInfo();
            break;
        case Coli::ServiceHandler::PRINT_INPUTS:
            theModel.printInputs();
            break;
        case Coli::ServiceHandler::PRINT_OUTPUTS:
            theModel.printOutputs();
            break;
        case Coli::ServiceHandler::PRINT_ETHERNET_PORTS:
            theModel.printEthernetPorts();
            break;
        default:
            break;
    }
    TRACE_RETURN("%s", "true");
    return true;
}

bool BaseModelHandler::handleObjectCreateGuard(AbstractObject* object) {
    TRACE_ENTER("object: %p", static_cast<void*>(object));
    const bool result = myModel().createPort(object);
    TRACE_RETURN("%s", resultText(result));
    return result;
}

bool BaseModelHandler::handleObjectCreate(AbstractObject* object) {
    TRACE_ENTER("object: %p", static_cast<void*>(object));
    const bool result = myModel().createObject(object);
    TRACE_RETURN("%s", resultText(result));
    return result;
}

bool BaseModelHandler::handleObjectDelete(AbstractObject* object) {
    TRACE_ENTER("object: %p", static_cast<void*>(object));
    const bool result = myModel().deleteObject(object);
    TRACE_RETURN("%s", resultText(result));
    return result;
}

bool BaseModelHandler::handleObjectSet(AbstractObject* object) {
    TRACE_ENTER("object: %p", static_cast<void*>(object));
    const bool result = myModel().setObject(object);
    TRACE_RETURN("%s", resultText(result));
    return result;
}

bool BaseModelHandler::handleObjectGet(AbstractObject* object) {
    TRACE_ENTER("object: %p", static_cast<void*>(object));
    const bool result = myModel().getObject(object);
    TRACE_RETURN("%s", resultText(result));
    return result;
}

}  // namespace EthCentral
}  // namespace Sync
