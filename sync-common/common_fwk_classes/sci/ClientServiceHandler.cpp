#include "common_fwk_classes/sci/ClientServiceHandler.h"

#include "Macros.h"
#include "common_fwk_classes/sci/ClientIf.h"
#include "common_fwk_classes/sci/Primitives.h"
#include "control/BaseController.h"
#include "control/Dispatcher.h"
#include "eventHandling/IDLE.h"

namespace Sync {
namespace Sci {

namespace {

template <class E>
ClientEntity* sourceOf(E* event) {
    return event != nullptr ? dynamic_cast<ClientEntity*>(event->getSource()) : nullptr;
}

}  // namespace

ClientServiceHandler::SciSm::SciSm(ClientServiceHandler* owner) : AutomatonBase(owner) {}

void ClientServiceHandler::SciSm::defineTransitions() {
    using H = ClientServiceHandler;
    using E = ClientEntity;
    addTransition<E::SCIENTITY_RADIO_CLOCK_STATE_SUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(
        &H::setMyEntity, &H::subscribeSciRadioClockState);
    addTransition<E::SCIENTITY_CANDIDATED_REFERENCE_SUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(
        &H::setMyEntity, &H::subscribeSciCandidatedReference);
    addTransition<E::SCIENTITY_SELECTED_REFERENCE_SUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(
        &H::setMyEntity, &H::subscribeSciSelectedReference);
    addTransition<E::SCIENTITY_FIXED_POSITION_STATUS_SUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(
        &H::setMyEntity, &H::subscribeSciFixedPositionStatus);
    addTransition<E::SCIENTITY_REC_DATA_SUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(&H::setMyEntity,
                                                                               &H::subscribeSciRecData);
    addTransition<E::SCIENTITY_TELECOM_STANDARD_SUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(
        &H::setMyEntity, &H::subscribeSciTelecomStandard);
    addTransition<E::SCIENTITY_LOOSE_TIME_STATE_SUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(
        &H::setMyEntity, &H::subscribeSciLooseTimeState);
    addTransition<E::SCIENTITY_LOOSE_TIME_DIFF_SUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(
        &H::setMyEntity, &H::subscribeSciLooseTimeDiff);
    addTransition<E::SCIENTITY_BFN_JUMP_ALERT_SUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(
        &H::setMyEntity, &H::subscribeSciBfnJumpAlert);
    addTransition<E::SCIENTITY_DEGRADED_STATUS_SUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(
        &H::setMyEntity, &H::subscribeSciDegradedStatus);
    addTransition<E::SCIENTITY_SEMI_LOOSE_SUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(
        &H::setMyEntity, &H::subscribeSciSemiLooseMode);
    addTransition<E::SCIENTITY_TIME_ERROR_SUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(&H::setMyEntity,
                                                                                 &H::subscribeSciTimeError);
    addTransition<E::SCIENTITY_FRU_DATA_SUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(&H::setMyEntity,
                                                                               &H::subscribeSciFruData);
    addTransition<E::SCIENTITY_CANDIDATE_ASSIST_REF_SUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(
        &H::setMyEntity, &H::subscribeSciCandidateAssistRef);
    addTransition<E::SCIENTITY_FH_NODE_PRIO_SUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(
        &H::setMyEntity, &H::subscribeSciFronthaulNodePrio);
    addTransition<E::SCIENTITY_RECR_CONFIG_SUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(&H::setMyEntity,
                                                                                  &H::subscribeSciRecrConfig);
    addTransition<E::SCIENTITY_OVERRIDE_PTP_DATA_SUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(
        &H::setMyEntity, &H::subscribeSciOverridePtpData);

    addTransition<E::SCIENTITY_RADIO_CLOCK_STATE_UNSUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(
        &H::isMyEntity, &H::unsubscribeSciRadioClockState);
    addTransition<E::SCIENTITY_CANDIDATED_REFERENCE_UNSUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(
        &H::isMyEntity, &H::unsubscribeSciCandidatedReference);
    addTransition<E::SCIENTITY_SELECTED_REFERENCE_UNSUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(
        &H::isMyEntity, &H::unsubscribeSciSelectedReference);
    addTransition<E::SCIENTITY_FIXED_POSITION_STATUS_UNSUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(
        &H::isMyEntity, &H::unsubscribeSciFixedPositionStatus);
    addTransition<E::SCIENTITY_REC_DATA_UNSUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(&H::isMyEntity,
                                                                                 &H::unsubscribeSciRecData);
    addTransition<E::SCIENTITY_TELECOM_STANDARD_UNSUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(
        &H::isMyEntity, &H::unsubscribeSciTelecomStandard);
    addTransition<E::SCIENTITY_LOOSE_TIME_STATE_UNSUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(
        &H::isMyEntity, &H::unsubscribeSciLooseTimeState);
    addTransition<E::SCIENTITY_LOOSE_TIME_DIFF_UNSUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(
        &H::isMyEntity, &H::unsubscribeSciLooseTimeDiff);
    addTransition<E::SCIENTITY_BFN_JUMP_ALERT_UNSUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(
        &H::isMyEntity, &H::unsubscribeSciBfnJumpAlert);
    addTransition<E::SCIENTITY_DEGRADED_STATUS_UNSUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(
        &H::isMyEntity, &H::unsubscribeSciDegradedStatus);
    addTransition<E::SCIENTITY_TIME_ERROR_UNSUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(
        &H::isMyEntity, &H::unsubscribeSciTimeError);

    addTransition<E::SCIENTITY_PTP_CLOCK_TYPE_SUBSCRIBE_TO_SERVER_EVENT, IDLE, IDLE>(
        &H::subscribeSciPtpClockType);
    addTransition<E::SCIENTITY_PORT_SCAN_REQ_EVENT, IDLE, IDLE>(&H::sendSciPortScan);
    addTransition<E::SCIENTITY_NGS_BFN_ALIGN_REQ_EVENT, IDLE, IDLE>(&H::sendSciNgsBfnAlignReq);
    addTransition<E::SCIENTITY_PASSIVE_MONITORING_EVENT, IDLE, IDLE>(&H::handlePassiveMonitoringConfigured);
}

ClientServiceHandler::ClientServiceHandler(uint32_t id, BaseController* controller)
    : BaseServiceHandler(id, controller), sciSm(this) {
    TRACE_ENTER("id: %u", id);
    sciSm.start();
    TRACE_RETURN("%s", "");
}

ClientServiceHandler::~ClientServiceHandler() = default;

void ClientServiceHandler::init() {
    TRACE_ENTER("%s", "");
    Dispatcher* dispatcher = controller != nullptr ? controller->getDispatcher() : nullptr;
    if (dispatcher == nullptr) {
        TRACE_ERROR("FAILED to add interface");
        TRACE_RETURN("%s", "");
        return;
    }
    ClientIf* clientIf = new ClientIf(controller->getOwnIdentity());
    if (dispatcher->addInterface(getId(), clientIf)) {
        clientIf->addMsgHandlers(this);
    } else {
        TRACE_ERROR("FAILED to add interface");
        delete clientIf;
    }
    TRACE_RETURN("%s", "");
}

template <class Primitive, class Fill>
bool ClientServiceHandler::sendRequest(ClientEntity* entity, const char* errorName, Fill fill) {
    ClientIf* clientIf = dynamic_cast<ClientIf*>(getInterface());
    if (clientIf == nullptr) {
        TRACE_ERROR("Could not get ClientIf object");
        return false;
    }
    Primitive* primitive = dynamic_cast<Primitive*>(clientIf->getPrimitive(Primitive::PRIMITIVE_ID));
    if (primitive == nullptr) {
        TRACE_ERROR("Could not get %s object", errorName);
        return false;
    }
    if (entity == nullptr) {
        TRACE_ERROR("Could not get source of SCI event.");
        return false;
    }
    const uint32_t entityId = entity->getClientEntityId();
    primitive->setProcedureReference(entityId);
    primitive->setEntityId(entityId);
    primitive->setConnectionReference(clientIf->getConnectionReference());
    fill(*primitive);
    // Before the connection is confirmed the interface drops the request with its own trace; the
    // entity asks again once it hears of the connection.
    clientIf->sendServicePrimitive(primitive);
    return true;
}

template <class Primitive>
bool ClientServiceHandler::sendRequest(ClientEntity* entity, const char* errorName) {
    return sendRequest<Primitive>(entity, errorName, [](Primitive&) {});
}

// The requests without parameters differ only in their primitive; the macro gives each operation its
// own name in its ENTER and RETURN traces.
#define SCI_ENTITY_REQUEST(operation, Primitive, errorName)          \
    bool ClientServiceHandler::operation(ClientEntity* entity) {     \
        TRACE_ENTER("entity: %p", static_cast<void*>(entity));       \
        const bool sent = sendRequest<Primitive>(entity, errorName); \
        TRACE_RETURN("%s", sent ? "true" : "false");                 \
        return sent;                                                 \
    }

SCI_ENTITY_REQUEST(subscribeSciRadioClockState, RadioClockStateSubscribeReq, "RadioClockStateSubscribeReq")
SCI_ENTITY_REQUEST(unsubscribeSciRadioClockState, RadioClockStateUnsubscribeReq,
                   "RadioClockStateUnsubscribeReq")
SCI_ENTITY_REQUEST(subscribeSciCandidatedReference, CandidatedReferenceSubscribeReq,
                   "CandidatedReferenceSubscribeReq")
SCI_ENTITY_REQUEST(unsubscribeSciCandidatedReference, CandidatedReferenceUnsubscribeReq,
                   "CandidatedReferenceUnsubscribeReq")
SCI_ENTITY_REQUEST(subscribeSciSelectedReference, SelectedReferenceSubscribeReq,
                   "SelectedReferenceSubscribeReq")
SCI_ENTITY_REQUEST(unsubscribeSciSelectedReference, SelectedReferenceUnsubscribeReq,
                   "SelectedReferenceUnsubscribeReq")
SCI_ENTITY_REQUEST(subscribeSciFixedPositionStatus, FixedPositionStatusSubscribeReq,
                   "FixedPositionStatusSubscribeReq")
SCI_ENTITY_REQUEST(unsubscribeSciFixedPositionStatus, FixedPositionStatusUnsubscribeReq,
                   "FixedPositionStatusUnsubscribeReq")
SCI_ENTITY_REQUEST(subscribeSciRecData, RecDataSubscribeReq, "RecDataSubscribeReq")
SCI_ENTITY_REQUEST(unsubscribeSciRecData, RecDataUnsubscribeReq, "RecDataUnsubscribeReq")
SCI_ENTITY_REQUEST(subscribeSciTelecomStandard, TelecomStandardSubscribeReq, "TelecomStandardSubscribeReq")
SCI_ENTITY_REQUEST(unsubscribeSciTelecomStandard, TelecomStandardUnsubscribeReq,
                   "TelecomStandardUnsubscribeReq")
SCI_ENTITY_REQUEST(subscribeSciBfnJumpAlert, BfnJumpAlertSubscribeReq, "BfnJumpAlertSubscribeReq")
SCI_ENTITY_REQUEST(unsubscribeSciBfnJumpAlert, BfnJumpAlertUnsubscribeReq, "BfnJumpAlertUnsubscribeReq")
SCI_ENTITY_REQUEST(subscribeSciLooseTimeState, LooseTimeStateSubscribeReq, "LooseTimeStateSubscribeReq")
SCI_ENTITY_REQUEST(unsubscribeSciLooseTimeState, LooseTimeStateUnsubscribeReq, "LooseTimeStateUnsubscribeReq")
SCI_ENTITY_REQUEST(subscribeSciLooseTimeDiff, LooseTimeDiffSubscribeReq, "LooseTimeDiffSubscribeReq")
SCI_ENTITY_REQUEST(unsubscribeSciLooseTimeDiff, LooseTimeDiffUnsubscribeReq, "LooseTimeDiffUnsubscribeReq")
SCI_ENTITY_REQUEST(subscribeSciDegradedStatus, DegradedStatusSubscribeReq, "DegradedStatusSubscribeReq")
SCI_ENTITY_REQUEST(unsubscribeSciDegradedStatus, DegradedStatusUnsubscribeReq, "DegradedStatusUnsubscribeReq")
SCI_ENTITY_REQUEST(subscribeSciSemiLooseMode, SemiLooseModeSubscribeReq, "SemiLooseModeSubscribeReq")
SCI_ENTITY_REQUEST(subscribeSciTimeError, TimeErrorSubscribeReq, "TimeErrorSubscribeReq")
SCI_ENTITY_REQUEST(unsubscribeSciTimeError, TimeErrorUnsubscribeReq, "TimeErrorUnsubscribeReq")
SCI_ENTITY_REQUEST(subscribeSciFruData, FruDataSubscribeReq, "FruDataSubscribeReq")
// These three error texts have always been written this way; log searches rely on them.
SCI_ENTITY_REQUEST(subscribeSciCandidateAssistRef, CandidateAssistRefSubscribeReq,
                   "candidatedAssistRefSubscribeReq")
SCI_ENTITY_REQUEST(subscribeSciRecrConfig, RecrConfigSubscribeReq, "recrConfigSubscribeReq")
SCI_ENTITY_REQUEST(subscribeSciOverridePtpData, OverridePtpDataSubscribeReq, "overridePtpDataSubscribeReq")
SCI_ENTITY_REQUEST(subscribeSciFronthaulNodePrio, FhNodePrioSubscribeReq, "FhNodePrioSubscribeReq")

#undef SCI_ENTITY_REQUEST

bool ClientServiceHandler::subscribeSciPtpClockType(
    ClientEntity::SCIENTITY_PTP_CLOCK_TYPE_SUBSCRIBE_TO_SERVER_EVENT* event) {
    TRACE_ENTER("event: %p", static_cast<void*>(event));
    const bool sent = sendRequest<PtpClockTypeSubscribeReq>(
        sourceOf(event), "PtpClockTypeSubscribeReq",
        [event](PtpClockTypeSubscribeReq& request) { request.setPtpClockType(event->ptpClockType); });
    TRACE_RETURN("%s", sent ? "true" : "false");
    return sent;
}

bool ClientServiceHandler::sendSciPortScan(ClientEntity::SCIENTITY_PORT_SCAN_REQ_EVENT* event) {
    TRACE_ENTER("event: %p", static_cast<void*>(event));
    const bool sent = sendRequest<PortScanReq>(sourceOf(event), "PortScanReq", [event](PortScanReq& request) {
        request.setCandidateList(event->candidateList);
    });
    if (sent)
        TRACE_RETURN("true, with list size = %zu", event->candidateList.size());
    else
        TRACE_RETURN("%s", "false");
    return sent;
}

bool ClientServiceHandler::sendSciNgsBfnAlignReq(ClientEntity::SCIENTITY_NGS_BFN_ALIGN_REQ_EVENT* event) {
    TRACE_ENTER("event: %p", static_cast<void*>(event));
    const bool sent =
        sendRequest<NgsBfnAlignReq>(sourceOf(event), "NgsBfnAlignReq", [event](NgsBfnAlignReq& request) {
            request.setSelectedSoccLdn(event->selectedSoccLdn);
            TRACE_DEBUG("Sending SCI NGS BFN Align request");
        });
    TRACE_RETURN("%s", sent ? "true" : "false");
    return sent;
}

bool ClientServiceHandler::handlePassiveMonitoringConfigured(
    ClientEntity::SCIENTITY_PASSIVE_MONITORING_EVENT* event) {
    TRACE_ENTER("event: %p", static_cast<void*>(event));
    const bool sent = sendRequest<PassiveMonitoringConfiguredFwd>(
        sourceOf(event), "PassiveMonitoringConfiguredFwd", [event](PassiveMonitoringConfiguredFwd& request) {
            request.setPassiveMonitoring(event->passiveMonitoring);
        });
    TRACE_RETURN("%s", sent ? "true" : "false");
    return sent;
}

bool ClientServiceHandler::setMyEntity(ClientEntity* entity) {
    if (entity == nullptr)
        return false;
    myEntityId = entity->getClientEntityId();
    return true;
}

bool ClientServiceHandler::isMyEntity(ClientEntity* entity) {
    return entity != nullptr && entity->getClientEntityId() == myEntityId;
}

bool ClientServiceHandler::printState(ClientEntity* entity) {
    IState* state = entity != nullptr ? entity->getState(getId()) : &IDLE::instance();
    TRACE_STATE("state: %s", state->getName());
    return true;
}

}  // namespace Sci
}  // namespace Sync
