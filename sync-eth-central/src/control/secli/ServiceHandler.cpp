#include "control/secli/ServiceHandler.h"

#include "Macros.h"
#include "control/BaseController.h"
#include "control/Dispatcher.h"
#include "control/secli/ServerIf.h"
#include "control/secli/prim/InputConfigChangeRreqPrim.h"
#include "control/secli/prim/InputConfigCreateRreqPrim.h"
#include "control/secli/prim/InputConfigRemoveRreqPrim.h"
#include "control/secli/prim/OutputConfigChangeRreqPrim.h"
#include "control/secli/prim/OutputConfigCreateRreqPrim.h"
#include "control/secli/prim/OutputConfigRemoveRreqPrim.h"
#include "control/secli/prim/OutputEsmcControlIndPrim.h"
#include "control/secli/prim/OutputTransmitSsmIndPrim.h"
#include "eventHandling/DONE.h"
#include "eventHandling/IDLE.h"
#include "model/input/SyncEthInput.h"
#include "model/output/SyncEthOutput.h"
#include "model/port/EthernetPort.h"
#include "tavi.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

namespace {

constexpr const char* NO_CLIENT_CREATE = "No client is up, ethFreq will be created when client is up";
constexpr const char* NO_CLIENT_OUTPUT = "No client is up, syncEthOutput has not yet been created";
constexpr const char* NO_CLIENT_INPUT = "No client is up, syncEthInput has not yet been created";
constexpr const char* NO_CLIENT_INDICATION = "No client is up, can not send ESMC control indicator";

const char* resultText(bool result) {
    return result ? "true" : "false";
}

// The configuration fields an output or input request takes from the object's Ethernet port.
template <class Primitive>
void fillFromPort(Primitive& primitive, const EthernetPort* port) {
    primitive.setInterfaceName(port != nullptr ? port->getInterfaceName() : std::string());
    primitive.setMacAddress(port != nullptr ? port->getMacAddress() : std::string());
    primitive.setNetworkNameSpace(port != nullptr ? port->getNetworkNamespace() : std::string());
}

void fillInputRequest(InputConfigRequestPrim& primitive, const SyncEthInput& input) {
    const EthernetPort* port = input.getEthernetPort();
    primitive.setRhaiPortId(port != nullptr ? port->getRhaiId() : 0xFFFFFFFF);
    primitive.setLdn(input.getRhaiLdn());
    fillFromPort(primitive, port);
}

}  // namespace

void ServiceHandler::EthOutputSm::defineTransitions() {
    using Output = SyncEthOutput;
    using H = ServiceHandler;
    addTransition<Output::SYNCETHOUTPUT_CONFIGURED_EVENT, IDLE, ETHOUTPUT_OPERATING>(&H::outputConfigCreate);
    addTransition<NOTIFY_SECLI_CLIENT_UP_EVENT, IDLE, ETHOUTPUT_OPERATING>(&H::outputConfigCreate);
    addTransition<NOTIFY_SECLI_CLIENT_DOWN_EVENT, IDLE, IDLE>();
    addTransition<Output::SYNCETHOUTPUT_CONFIGURED_EVENT, ETHOUTPUT_OPERATING, ETHOUTPUT_OPERATING>(
        &H::outputConfigChange);
    addTransition<NOTIFY_SECLI_CLIENT_UP_EVENT, ETHOUTPUT_OPERATING, ETHOUTPUT_OPERATING>(
        &H::outputConfigCreate);
    addTransition<Output::SYNCETHOUTPUT_DELETED_EVENT, ETHOUTPUT_OPERATING, IDLE>(&H::outputConfigRemove);
    addTransition<Output::SYNCETHOUTPUT_TRANSMIT_SSM_IND_EVENT, ETHOUTPUT_OPERATING, ETHOUTPUT_OPERATING>(
        &H::outputTransmitSsmInd);
    addTransition<Output::SYNCETHOUTPUT_ESMC_CONTROL_IND_EVENT, ETHOUTPUT_OPERATING, ETHOUTPUT_OPERATING>(
        &H::outputEsmcControlInd);
}

void ServiceHandler::EthInputSm::defineTransitions() {
    using Input = SyncEthInput;
    using H = ServiceHandler;
    // An input that never took part in this automaton is in IDLE, which stands for ETHINPUT_ENABLED.
    addTransition<Input::SYNCETHINPUT_CONFIGURED_EVENT, IDLE, ETHINPUT_OPERATING>(&H::inputConfigCreate);
    addTransition<Input::SYNCETHINPUT_CONFIGURED_EVENT, ETHINPUT_ENABLED, ETHINPUT_OPERATING>(
        &H::inputConfigCreate);
    addTransition<Input::SYNCETHINPUT_CONFIGURED_EVENT, ETHINPUT_OPERATING, ETHINPUT_OPERATING>(
        &H::inputConfigChange);
    addTransition<Input::SYNCETHINPUT_PORT_NOT_SUPPORTABLE_EVENT, ETHINPUT_OPERATING, ETHINPUT_ENABLED>(
        &H::inputConfigRemove);
    addTransition<Input::SYNCETHINPUT_DELETED_EVENT, ETHINPUT_OPERATING, DONE>(&H::inputConfigRemove);
    addTransition<NOTIFY_SECLI_CLIENT_UP_EVENT, ETHINPUT_OPERATING, ETHINPUT_OPERATING>(
        &H::inputConfigCreate);
    addTransition<NOTIFY_SECLI_CLIENT_DOWN_EVENT, ETHINPUT_OPERATING, ETHINPUT_OPERATING>();
}

ServiceHandler::ServiceHandler(uint32_t id, BaseController* controller)
    : BaseServiceHandler(id, controller), ethInputSm_(this), ethOutputSm_(this) {
    TRACE_ENTER("%s", "ServiceHandler");
    ethInputSm_.start();
    ethOutputSm_.start();
    TRACE_RETURN("%s", "");
}

ServiceHandler::~ServiceHandler() = default;

void ServiceHandler::init() {
    TRACE_ENTER("id: %u", getId());
    const uint32_t ownMboxId = controller != nullptr ? controller->getOwnIdentity() : TAVI_NO_ID;
    ServerIf* serverIf = new ServerIf(ownMboxId);
    Dispatcher* dispatcher = controller != nullptr ? controller->getDispatcher() : nullptr;
    if (dispatcher == nullptr || !dispatcher->addInterface(getId(), serverIf)) {
        // Nobody would ever dispatch to it, so binding handlers to it would only leak it.
        TRACE_ERROR("FAILED to add interface");
        delete serverIf;
        TRACE_RETURN("%s", "");
        return;
    }
    serverIf->addMsgHandlers(this);
    TRACE_RETURN("%s", "");
}

ServerIf* ServiceHandler::getServerIf() {
    return dynamic_cast<ServerIf*>(getInterface());
}

template <class Primitive, class Fill>
bool ServiceHandler::sendToClient(DomainEntity* object, uint32_t primitiveId, const char* primitiveName,
                                  const char* noClientText, Fill fill) {
    ServerIf* serverIf = getServerIf();
    if (serverIf == nullptr) {
        TRACE_ERROR("%s", "could not get ServerIf object");
        return false;
    }
    ServiceClient* client = serverIf->getClient();
    if (client == nullptr) {
        TRACE_DEBUG("%s", noClientText);
        return false;
    }
    auto* primitive = dynamic_cast<Primitive*>(serverIf->getPrimitive(primitiveId));
    if (primitive == nullptr) {
        TRACE_ERROR("could not get %s primitive", primitiveName);
        return false;
    }
    if (object == nullptr) {
        TRACE_ERROR("%s", "Coding error: the event came from no SyncE output or input");
        return false;
    }
    // The client answers with the same procedureReference: that is how its confirmation finds the
    // object again.
    primitive->setProcedureReference(object->getEntityId());
    primitive->setConnectionReference(client->getConnectionReference());
    fill(*primitive);
    serverIf->sendServicePrimitive(primitive, client);
    if (auto* output = dynamic_cast<SyncEthOutput*>(object))
        ++output->orderCounts().sent;
    return true;
}

bool ServiceHandler::outputConfigCreate(SyncEthOutput* output) {
    TRACE_ENTER("output: %p", static_cast<void*>(output));
    const bool result = sendToClient<OutputConfigCreateRreqPrim>(
        output, PRIM_OUTPUT_CONFIG_CREATE_RREQ, "OutputConfigCreateRreqPrim", NO_CLIENT_CREATE,
        [output](OutputConfigCreateRreqPrim& prim) { fillFromPort(prim, output->getEthernetPort()); });
    TRACE_RETURN("%s", resultText(result));
    return result;
}

bool ServiceHandler::outputConfigChange(SyncEthOutput* output) {
    TRACE_ENTER("output: %p", static_cast<void*>(output));
    const bool result = sendToClient<OutputConfigChangeRreqPrim>(
        output, PRIM_OUTPUT_CONFIG_CHANGE_RREQ, "OutputConfigChangeRreqPrim", NO_CLIENT_OUTPUT,
        [output](OutputConfigChangeRreqPrim& prim) { fillFromPort(prim, output->getEthernetPort()); });
    TRACE_RETURN("%s", resultText(result));
    return result;
}

bool ServiceHandler::outputConfigRemove(SyncEthOutput* output) {
    TRACE_ENTER("output: %p", static_cast<void*>(output));
    const bool result = sendToClient<OutputConfigRemoveRreqPrim>(
        output, PRIM_OUTPUT_CONFIG_REMOVE_RREQ, "OutputConfigRemoveRreqPrim", NO_CLIENT_OUTPUT,
        [](OutputConfigRemoveRreqPrim&) {});
    TRACE_RETURN("%s", resultText(result));
    return result;
}

bool ServiceHandler::outputTransmitSsmInd(SyncEthOutput* output) {
    TRACE_ENTER("output: %p", static_cast<void*>(output));
    const bool result = sendToClient<OutputTransmitSsmIndPrim>(
        output, PRIM_OUTPUT_TRANSMIT_SSM_IND, "OutputTransmitSsmIndPrim", NO_CLIENT_INDICATION,
        [output](OutputTransmitSsmIndPrim& prim) {
            prim.setSsmCode(output->getSsmCode());
            prim.setEnhancedSsmCode(static_cast<uint8_t>(output->getEnhancedSsmCode() & 0xFF));
            prim.setSyncEMasterId(output->getSyncEMasterId());
            prim.setFlag(output->getFlag());
            prim.setNumberCascadedEnhancedEec(output->getNumberCascadedEnhancedEec());
            prim.setNumberCascadedEec(output->getNumberCascadedEec());
        });
    TRACE_RETURN("%s", resultText(result));
    return result;
}

bool ServiceHandler::outputEsmcControlInd(SyncEthOutput* output) {
    TRACE_ENTER("output: %p", static_cast<void*>(output));
    const bool result = sendToClient<OutputEsmcControlIndPrim>(
        output, PRIM_OUTPUT_ESMC_CONTROL_IND, "OutputEsmcControlIndPrim", NO_CLIENT_INDICATION,
        [output](OutputEsmcControlIndPrim& prim) { prim.setOutput(output->isOutputEnabled() ? 1 : 0); });
    TRACE_RETURN("%s", resultText(result));
    return result;
}

bool ServiceHandler::inputConfigCreate(SyncEthInput* input) {
    TRACE_ENTER("input: %p", static_cast<void*>(input));
    const bool result = sendToClient<InputConfigCreateRreqPrim>(
        input, PRIM_INPUT_CONFIG_CREATE_RREQ, "InputConfigCreateRreqPrim", NO_CLIENT_CREATE,
        [input](InputConfigCreateRreqPrim& prim) { fillInputRequest(prim, *input); });
    TRACE_RETURN("%s", resultText(result));
    return result;
}

bool ServiceHandler::inputConfigChange(SyncEthInput* input) {
    TRACE_ENTER("input: %p", static_cast<void*>(input));
    const bool result = sendToClient<InputConfigChangeRreqPrim>(
        input, PRIM_INPUT_CONFIG_CHANGE_RREQ, "InputConfigChangeRreqPrim", NO_CLIENT_INPUT,
        [input](InputConfigChangeRreqPrim& prim) { fillInputRequest(prim, *input); });
    TRACE_RETURN("%s", resultText(result));
    return result;
}

bool ServiceHandler::inputConfigRemove(SyncEthInput* input) {
    TRACE_ENTER("input: %p", static_cast<void*>(input));
    const bool result = sendToClient<InputConfigRemoveRreqPrim>(input, PRIM_INPUT_CONFIG_REMOVE_RREQ,
                                                                "InputConfigRemoveRreqPrim", NO_CLIENT_INPUT,
                                                                [](InputConfigRemoveRreqPrim&) {});
    TRACE_RETURN("%s", resultText(result));
    return result;
}

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync
