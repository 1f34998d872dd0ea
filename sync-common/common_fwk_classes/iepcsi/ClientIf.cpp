#include "common_fwk_classes/iepcsi/ClientIf.h"

#include "Macros.h"
#include "common_fwk_classes/iepcsi/GetEthPortSupportCfm.h"
#include "common_fwk_classes/iepcsi/GetEthPortSupportRej.h"
#include "common_fwk_classes/iepcsi/GetEthPortSupportReq.h"
#include "common_fwk_classes/iepcsi/GetPortSupportCfmMsgHandler.h"
#include "common_fwk_classes/iepcsi/IdBitmap.h"
#include "common_fwk_classes/iepcsi/InitCfm.h"
#include "common_fwk_classes/iepcsi/InitCfmMsgHandler.h"
#include "common_fwk_classes/iepcsi/InitRej.h"
#include "common_fwk_classes/iepcsi/InitReq.h"
#include "common_fwk_classes/iepcsi/PortStatusInd.h"
#include "common_fwk_classes/iepcsi/PortStatusIndMsgHandler.h"
#include "common_fwk_classes/iepcsi/ServerDown.h"
#include "common_fwk_classes/iepcsi/ServerDownMsgHandler.h"
#include "common_fwk_classes/iepcsi/ServerUp.h"
#include "common_fwk_classes/iepcsi/ServiceHandler.h"
#include "common_fwk_classes/iepcsi/SubscribeEthPortStatusCfm.h"
#include "common_fwk_classes/iepcsi/SubscribeEthPortStatusRej.h"
#include "common_fwk_classes/iepcsi/SubscribeEthPortStatusReq.h"
#include "common_fwk_classes/iepcsi/SubscribePortStatusCfmMsgHandler.h"
#include "common_fwk_classes/iepcsi/TermCfm.h"
#include "common_fwk_classes/iepcsi/TermReq.h"
#include "common_fwk_classes/iepcsi/UnsubscribeEthPortStatusCfm.h"
#include "common_fwk_classes/iepcsi/UnsubscribeEthPortStatusReq.h"
#include "control/CastTo.h"
#include "tavi.h"

namespace Sync {
namespace Iepcsi {

namespace {

IdBitmap& clientIds() {
    static IdBitmap ids;
    return ids;
}

bool isSentOnly(uint32_t primitiveId) {
    switch (primitiveId) {
        case InitReq::PRIMITIVE_ID:
        case TermReq::PRIMITIVE_ID:
        case GetEthPortSupportReq::PRIMITIVE_ID:
        case SubscribeEthPortStatusReq::PRIMITIVE_ID:
        case UnsubscribeEthPortStatusReq::PRIMITIVE_ID:
            return true;
        default:
            return false;
    }
}

}  // namespace

ClientIf::ClientIf(uint32_t ownPid)
    : AbstractClientIf(SERVICE_NAME, ownPid, PROTOCOL_VERSION, PROTOCOL_VERSION, PROTOCOL_VERSION),
      takenId_(clientIds().take()),
      ownId_(static_cast<uint8_t>(takenId_)) {
    setConnectionData({ownId_, ownId_, ownId_, ownId_});
    reportConnectionAs(PeerStatus::PORT_CONTROL);
    registerPrimitive(new ServerUp);
    registerPrimitive(new ServerDown);
    registerPrimitive(new InitReq);
    registerPrimitive(new InitCfm);
    registerPrimitive(new InitRej);
    registerPrimitive(new TermReq);
    registerPrimitive(new TermCfm);
    registerPrimitive(new GetEthPortSupportReq);
    registerPrimitive(new GetEthPortSupportCfm);
    registerPrimitive(new GetEthPortSupportRej);
    registerPrimitive(new SubscribeEthPortStatusReq);
    registerPrimitive(new SubscribeEthPortStatusCfm);
    registerPrimitive(new SubscribeEthPortStatusRej);
    registerPrimitive(new UnsubscribeEthPortStatusReq);
    registerPrimitive(new UnsubscribeEthPortStatusCfm);
    registerPrimitive(new PortStatusInd);
}

ClientIf::~ClientIf() {
    clientIds().release(takenId_);
}

std::string ClientIf::getDomain() const {
    return DOMAIN_NAME;
}

void ClientIf::attachIf() {
    TRACE_ENTER("%s", "");
    BasePrimitive* serverUp = findPrimitiveById(ServerUp::PRIMITIVE_ID);
    if (checkPrimitive(serverUp, ServerUp::PRIMITIVE_ID)) {
        serverUp->setProcedureReference(getProcedureReference());
        serverUp->setConnectionReference(getConnectionReference());
        void* msg = serverUp->constructMessage();
        tavi_locate_async(SERVER_MAILBOX_NAME, &msg, TAVI_OWN_ID);
        setState(WAIT_FOR_SERVER);
    }
    TRACE_RETURN("%s", "");
}

void ClientIf::detachIf() {
    TRACE_ENTER("%s", "");
    BasePrimitive* termReq = findPrimitiveById(TermReq::PRIMITIVE_ID);
    if (checkPrimitive(termReq, TermReq::PRIMITIVE_ID)) {
        if (getServerPid() != TAVI_NO_ID) {
            termReq->setProcedureReference(getProcedureReference());
            termReq->setConnectionReference(getConnectionReference());
            send(termReq->constructMessage(), getServerPid());
        }
        setState(DETACHED);
    }
    TRACE_RETURN("%s", "");
}

void ClientIf::dispatchPrimitive(BasePrimitive* primitive, uint32_t senderPid) {
    if (primitive != nullptr && isSentOnly(primitive->getPrimitiveId()))
        TRACE_WARNING("Dropped %s from %u: only the client sends it", primitive->getName(), senderPid);
    else
        AbstractClientIf::dispatchPrimitive(primitive, senderPid);
}

void ClientIf::fillMgmtPrimitive(BasePrimitive* primitive) {
    if (primitive == nullptr)
        return;
    switch (primitive->getPrimitiveId()) {
        case InitReq::PRIMITIVE_ID:
        case TermReq::PRIMITIVE_ID:
        case ServerDown::PRIMITIVE_ID:
            primitive->setProcedureReference(getProcedureReference());
            primitive->setConnectionReference(getConnectionReference());
            break;
        default:
            break;
    }
}

void ClientIf::handleServicePrimitive(BasePrimitive* primitive) {
    if (primitive == nullptr || primitive->getPrimitiveId() != ServerDown::PRIMITIVE_ID)
        return;
    TRACE_ENTER("ServerDown prim: %p", static_cast<void*>(primitive));
    // The server's references died with it; look for the next server with our own.
    setConnectionReference(ownId_);
    attachIf();
    setState(WAIT_FOR_SERVER);
    TRACE_RETURN("%s", "");
}

void ClientIf::addMsgHandlers(BaseServiceHandler* serviceHandler) {
    TRACE_ENTER("serviceHandler: %p", static_cast<void*>(serviceHandler));
    ServiceHandler* handler = castTo<ServiceHandler>(serviceHandler);
    BasePrimitive* primitive = findPrimitiveById(ServerDown::PRIMITIVE_ID);
    if (checkPrimitive(primitive, ServerDown::PRIMITIVE_ID))
        addListener(primitive, new ServerDownMsgHandler(handler));
    primitive = findPrimitiveById(InitCfm::PRIMITIVE_ID);
    if (checkPrimitive(primitive, InitCfm::PRIMITIVE_ID))
        addListener(primitive, new InitCfmMsgHandler(handler));
    primitive = findPrimitiveById(GetEthPortSupportCfm::PRIMITIVE_ID);
    if (checkPrimitive(primitive, GetEthPortSupportCfm::PRIMITIVE_ID))
        addListener(primitive, new GetPortSupportCfmMsgHandler(handler));
    primitive = findPrimitiveById(SubscribeEthPortStatusCfm::PRIMITIVE_ID);
    if (checkPrimitive(primitive, SubscribeEthPortStatusCfm::PRIMITIVE_ID))
        addListener(primitive, new SubscribePortStatusCfmMsgHandler(handler));
    primitive = findPrimitiveById(PortStatusInd::PRIMITIVE_ID);
    if (checkPrimitive(primitive, PortStatusInd::PRIMITIVE_ID))
        addListener(primitive, new PortStatusIndMsgHandler(handler));
    TRACE_RETURN("%s", "");
}

}  // namespace Iepcsi
}  // namespace Sync
