#include "common_fwk_classes/sci/ClientIf.h"

#include "Macros.h"
#include "common_fwk_classes/sci/ClientIfIdPool.h"
#include "common_fwk_classes/sci/MsgHandlers.h"
#include "common_fwk_classes/sci/Primitives.h"
#include "control/MessageHandler.h"

namespace Sync {
namespace Sci {

namespace {

// Which handler reacts to which received primitive.
struct HandlerBinding {
    uint32_t primitiveId;
    MessageHandler* (*create)(BaseServiceHandler* serviceHandler);
};

template <class Handler>
MessageHandler* createHandler(BaseServiceHandler* serviceHandler) {
    return new Handler(serviceHandler);
}

template <class Primitive, class Handler>
constexpr HandlerBinding bind() {
    return {Primitive::PRIMITIVE_ID, &createHandler<Handler>};
}

// Every message the server sends; the order is the order of registration.
const HandlerBinding handlerBindings[] = {
    bind<InitCfm, InitCfmMsgHandler>(),
    bind<InitRej, InitRejMsgHandler>(),
    bind<RadioClockStateSubscribeCfm, RadioClockStateSubscribeCfmMsgHandler>(),
    bind<RadioClockStateSubscribeRej, RadioClockStateSubscribeRejMsgHandler>(),
    bind<RadioClockStateUnsubscribeCfm, RadioClockStateUnsubscribeCfmMsgHandler>(),
    bind<RadioClockStateInd, RadioClockStateIndMsgHandler>(),
    bind<CandidatedReferenceSubscribeCfm, CandidatedReferenceSubscribeCfmMsgHandler>(),
    bind<CandidatedReferenceSubscribeRej, CandidatedReferenceSubscribeRejMsgHandler>(),
    bind<CandidatedReferenceUnsubscribeCfm, CandidatedReferenceUnsubscribeCfmMsgHandler>(),
    bind<CandidatedReferenceInd, CandidatedReferenceIndMsgHandler>(),
    bind<SelectedReferenceSubscribeCfm, SelectedReferenceSubscribeCfmMsgHandler>(),
    bind<SelectedReferenceSubscribeRej, SelectedReferenceSubscribeRejMsgHandler>(),
    bind<SelectedReferenceUnsubscribeCfm, SelectedReferenceUnsubscribeCfmMsgHandler>(),
    bind<SelectedReferenceInd, SelectedReferenceIndMsgHandler>(),
    bind<PortScanRsp, PortScanRspMsgHandler>(),
    bind<FixedPositionStatusSubscribeCfm, FixedPositionStatusSubscribeCfmMsgHandler>(),
    bind<FixedPositionStatusSubscribeRej, FixedPositionStatusSubscribeRejMsgHandler>(),
    bind<FixedPositionStatusInd, FixedPositionStatusIndMsgHandler>(),
    bind<FixedPositionStatusUnsubscribeCfm, FixedPositionStatusUnsubscribeCfmMsgHandler>(),
    bind<RecDataSubscribeCfm, RecDataSubscribeCfmMsgHandler>(),
    bind<RecDataSubscribeRej, RecDataSubscribeRejMsgHandler>(),
    bind<RecDataUnsubscribeCfm, RecDataUnsubscribeCfmMsgHandler>(),
    bind<RecCreateInd, RecCreateIndMsgHandler>(),
    bind<RecDeleteInd, RecDeleteIndMsgHandler>(),
    bind<RecSelectionProcessModeInd, RecSelectionProcessModeIndMsgHandler>(),
    bind<RecClockSettledQualityInd, RecClockSettledQualityIndMsgHandler>(),
    bind<RecrUseQLFromInd, RecrUseQLFromIndMsgHandler>(),
    bind<TelecomStandardSubscribeCfm, TelecomStandardSubscribeCfmMsgHandler>(),
    bind<TelecomStandardSubscribeRej, TelecomStandardSubscribeRejMsgHandler>(),
    bind<TelecomStandardUnsubscribeCfm, TelecomStandardUnsubscribeCfmMsgHandler>(),
    bind<TelecomStandardInd, TelecomStandardIndMsgHandler>(),
    bind<BfnJumpAlertSubscribeCfm, BfnJumpAlertSubscribeCfmMsgHandler>(),
    bind<BfnJumpAlertSubscribeRej, BfnJumpAlertSubscribeRejMsgHandler>(),
    bind<BfnJumpAlertUnsubscribeCfm, BfnJumpAlertUnsubscribeCfmMsgHandler>(),
    bind<BfnJumpAlertInd, BfnJumpAlertIndMsgHandler>(),
    bind<ServerDown, ServerDownIndMsgHandler>(),
    bind<LooseTimeStateSubscribeCfm, LooseTimeStateSubscribeCfmMsgHandler>(),
    bind<LooseTimeStateSubscribeRej, LooseTimeStateSubscribeRejMsgHandler>(),
    bind<LooseTimeStateUnsubscribeCfm, LooseTimeStateUnsubscribeCfmMsgHandler>(),
    bind<LooseTimeStateInd, LooseTimeStateIndMsgHandler>(),
    bind<LooseTimeDiffSubscribeCfm, LooseTimeDiffSubscribeCfmMsgHandler>(),
    bind<LooseTimeDiffSubscribeRej, LooseTimeDiffSubscribeRejMsgHandler>(),
    bind<LooseTimeDiffUnsubscribeCfm, LooseTimeDiffUnsubscribeCfmMsgHandler>(),
    bind<LooseTimeDiffInd, LooseTimeDiffIndMsgHandler>(),
    bind<DegradedStatusSubscribeCfm, DegradedStatusSubscribeCfmMsgHandler>(),
    bind<DegradedStatusSubscribeRej, DegradedStatusSubscribeRejMsgHandler>(),
    bind<DegradedStatusUnsubscribeCfm, DegradedStatusUnsubscribeCfmMsgHandler>(),
    bind<DegradedStatusInd, DegradedStatusIndMsgHandler>(),
    bind<NgsBfnAlignRsp, NgsBfnAlignRspMsgHandler>(),
    bind<SemiLooseModeSubscribeCfm, SemiLooseModeSubscribeCfmMsgHandler>(),
    bind<SemiLooseModeSubscribeRej, SemiLooseModeSubscribeRejMsgHandler>(),
    bind<SemiLooseModeInd, SemiLooseModeIndMsgHandler>(),
    bind<TimeErrorSubscribeCfm, TimeErrorSubscribeCfmMsgHandler>(),
    bind<TimeErrorSubscribeRej, TimeErrorSubscribeRejMsgHandler>(),
    bind<TimeErrorUnsubscribeCfm, TimeErrorUnsubscribeCfmMsgHandler>(),
    bind<TimeErrorInd, TimeErrorIndMsgHandler>(),
    bind<PtpClockTypeSubscribeRej, PtpClockTypeSubscribeRejMsgHandler>(),
    bind<FruDataSubscribeCfm, FruDataSubscribeCfmMsgHandler>(),
    bind<FruDataSubscribeRej, FruDataSubscribeRejMsgHandler>(),
    bind<FruDataInd, FruDataIndMsgHandler>(),
    bind<CandidateAssistRefSubscribeCfm, CandidateAssistRefSubscribeCfmMsgHandler>(),
    bind<CandidateAssistRefSubscribeRej, CandidateAssistRefSubscribeRejMsgHandler>(),
    bind<CandidateAssistRefInd, CandidateAssistRefIndMsgHandler>(),
    bind<FhNodePrioSubscribeCfm, FhNodePrioSubscribeCfmMsgHandler>(),
    bind<FhNodePrioSubscribeRej, FhNodePrioSubscribeRejMsgHandler>(),
    bind<FhNodePrioInd, FhNodePrioIndMsgHandler>(),
    bind<RecrConfigSubscribeCfm, RecrConfigSubscribeCfmMsgHandler>(),
    bind<RecrConfigSubscribeRej, RecrConfigSubscribeRejMsgHandler>(),
    bind<RecrConfigInd, RecrConfigIndMsgHandler>(),
    bind<OverridePtpDataSubscribeCfm, OverridePtpDataSubscribeCfmMsgHandler>(),
    bind<OverridePtpDataSubscribeRej, OverridePtpDataSubscribeRejMsgHandler>(),
    bind<OverridePtpDataInd, OverridePtpDataIndMsgHandler>(),
};

// Kinds the server sends have a handler above, and the notices of the server's coming and going come
// from the mailbox library on its behalf; every other kind is one this client sends.
bool isSentOnly(uint32_t primitiveId) {
    if (primitiveId == BasePrimitive::SERVER_UP || primitiveId == BasePrimitive::SERVER_DOWN)
        return false;
    for (const HandlerBinding& binding : handlerBindings) {
        if (binding.primitiveId == primitiveId)
            return false;
    }
    return true;
}

}  // namespace

ClientIf::ClientIf(uint32_t ownMboxId)
    : AbstractClientIf(SERVICE_NAME, ownMboxId, PROTOCOL_REVISION, PROTOCOL_REVISION, PROTOCOL_REVISION),
      interfaceId(ClientIfIdPool::instance().take()) {
    TRACE_ENTER("ownMboxId: %u", ownMboxId);
    // The connection request carries the interface id until the confirmation gives the server's
    // references.
    setConnectionData({interfaceId, interfaceId, interfaceId, interfaceId});
    reportConnectionAs(PeerStatus::SYNC_CONTROL);
    registerPrimitives();
    TRACE_RETURN("interfaceId: %u", interfaceId);
}

ClientIf::~ClientIf() {
    ClientIfIdPool::instance().release(interfaceId);
}

std::string ClientIf::getDomain() const {
    return DOMAIN;
}

void ClientIf::dispatchPrimitive(BasePrimitive* primitive, uint32_t senderPid) {
    if (primitive != nullptr && isSentOnly(primitive->getPrimitiveId()))
        TRACE_WARNING("Dropped %s from %u: only the client sends it", primitive->getName(), senderPid);
    else
        AbstractClientIf::dispatchPrimitive(primitive, senderPid);
}

// A lost server leaves the subscription to the service running: its next owner gets a new connection
// request, under the interface's own references since the old server's mean nothing to it.
void ClientIf::handleServicePrimitive(BasePrimitive* primitive) {
    if (primitive == nullptr || primitive->getPrimitiveId() != BasePrimitive::SERVER_DOWN)
        return;
    setConnectionData({interfaceId, interfaceId, interfaceId, interfaceId});
    setState(WAIT_FOR_SERVER);
}

template <class... Primitives>
void ClientIf::registerAll() {
    (registerPrimitive(new Primitives()), ...);
}

// Every primitive of both directions, except the client-down monitor message: it shares the server
// down's kind, and only the server side ever arms it.
void ClientIf::registerPrimitives() {
    registerAll<ServerUp, ServerDown, InitReq, InitCfm, InitRej>();
    registerAll<RadioClockStateSubscribeReq, RadioClockStateSubscribeCfm, RadioClockStateSubscribeRej,
                RadioClockStateUnsubscribeReq, RadioClockStateUnsubscribeCfm, RadioClockStateInd>();
    registerAll<CandidatedReferenceSubscribeReq, CandidatedReferenceSubscribeCfm,
                CandidatedReferenceSubscribeRej, CandidatedReferenceUnsubscribeReq,
                CandidatedReferenceUnsubscribeCfm, CandidatedReferenceInd>();
    registerAll<SelectedReferenceSubscribeReq, SelectedReferenceSubscribeCfm, SelectedReferenceSubscribeRej,
                SelectedReferenceUnsubscribeReq, SelectedReferenceUnsubscribeCfm, SelectedReferenceInd>();
    registerAll<FixedPositionStatusSubscribeReq, FixedPositionStatusSubscribeCfm,
                FixedPositionStatusSubscribeRej, FixedPositionStatusUnsubscribeReq,
                FixedPositionStatusUnsubscribeCfm, FixedPositionStatusInd>();
    registerAll<RecDataSubscribeReq, RecDataSubscribeCfm, RecDataSubscribeRej, RecDataUnsubscribeReq,
                RecDataUnsubscribeCfm, RecCreateInd, RecDeleteInd, RecSelectionProcessModeInd,
                RecClockSettledQualityInd, RecrUseQLFromInd>();
    registerAll<TelecomStandardSubscribeReq, TelecomStandardSubscribeCfm, TelecomStandardSubscribeRej,
                TelecomStandardUnsubscribeReq, TelecomStandardUnsubscribeCfm, TelecomStandardInd>();
    registerAll<BfnJumpAlertSubscribeReq, BfnJumpAlertSubscribeCfm, BfnJumpAlertSubscribeRej,
                BfnJumpAlertUnsubscribeReq, BfnJumpAlertUnsubscribeCfm, BfnJumpAlertInd>();
    registerAll<LooseTimeStateSubscribeReq, LooseTimeStateSubscribeCfm, LooseTimeStateSubscribeRej,
                LooseTimeStateUnsubscribeReq, LooseTimeStateUnsubscribeCfm, LooseTimeStateInd>();
    registerAll<LooseTimeDiffSubscribeReq, LooseTimeDiffSubscribeCfm, LooseTimeDiffSubscribeRej,
                LooseTimeDiffUnsubscribeReq, LooseTimeDiffUnsubscribeCfm, LooseTimeDiffInd>();
    registerAll<DegradedStatusSubscribeReq, DegradedStatusSubscribeCfm, DegradedStatusSubscribeRej,
                DegradedStatusUnsubscribeReq, DegradedStatusUnsubscribeCfm, DegradedStatusInd>();
    registerAll<SemiLooseModeSubscribeReq, SemiLooseModeSubscribeCfm, SemiLooseModeSubscribeRej,
                SemiLooseModeInd>();
    registerAll<TimeErrorSubscribeReq, TimeErrorSubscribeCfm, TimeErrorSubscribeRej, TimeErrorUnsubscribeReq,
                TimeErrorUnsubscribeCfm, TimeErrorInd>();
    registerAll<PtpClockTypeSubscribeReq, PtpClockTypeSubscribeRej>();
    registerAll<FruDataSubscribeReq, FruDataSubscribeCfm, FruDataSubscribeRej, FruDataInd>();
    registerAll<CandidateAssistRefSubscribeReq, CandidateAssistRefSubscribeCfm,
                CandidateAssistRefSubscribeRej, CandidateAssistRefInd>();
    registerAll<FhNodePrioSubscribeReq, FhNodePrioSubscribeCfm, FhNodePrioSubscribeRej, FhNodePrioInd>();
    registerAll<RecrConfigSubscribeReq, RecrConfigSubscribeCfm, RecrConfigSubscribeRej, RecrConfigInd>();
    registerAll<OverridePtpDataSubscribeReq, OverridePtpDataSubscribeCfm, OverridePtpDataSubscribeRej,
                OverridePtpDataInd>();
    registerAll<PortScanReq, PortScanRsp, NgsBfnAlignReq, NgsBfnAlignRsp, PassiveMonitoringConfiguredFwd>();
}

void ClientIf::addMsgHandlers(BaseServiceHandler* serviceHandler) {
    TRACE_ENTER("serviceHandler: %p", static_cast<void*>(serviceHandler));
    for (const HandlerBinding& binding : handlerBindings) {
        BasePrimitive* primitive = findPrimitiveById(binding.primitiveId);
        if (checkPrimitive(primitive, binding.primitiveId))
            addListener(primitive, binding.create(serviceHandler));
    }
    TRACE_RETURN("%s", "");
}

}  // namespace Sci
}  // namespace Sync
