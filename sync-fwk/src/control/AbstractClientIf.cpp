#include "control/AbstractClientIf.h"

#include "Macros.h"
#include "control/BasePrimitive.h"
#include "control/CastTo.h"
#include "control/InitReqPrimitive.h"
#include "control/NameServiceMessage.h"
#include "kolm.h"
#include "tavi.h"

namespace Sync {

AbstractClientIf::AbstractClientIf(const std::string& serviceName, uint32_t ownPid, uint32_t pvFirstWanted,
                                   uint32_t pvSecondWanted, uint32_t pvThirdWanted)
    : BaseInterface(ownPid),
      serviceName(serviceName),
      subscriptionId(BasePrimitive::UNSET),
      serverPid(TAVI_NO_ID),
      connectionData{BasePrimitive::UNSET, BasePrimitive::UNSET, BasePrimitive::UNSET, BasePrimitive::UNSET},
      pvFirstWanted(pvFirstWanted),
      pvSecondWanted(pvSecondWanted),
      pvThirdWanted(pvThirdWanted) {}

AbstractClientIf::~AbstractClientIf() = default;

uint64_t AbstractClientIf::getTag() const {
    return reinterpret_cast<uintptr_t>(this);
}

std::string AbstractClientIf::getDomain() const {
    return std::string();
}

void AbstractClientIf::setState(ClientIfState newState) {
    if (newState != state)
        TRACE_STATE("%s: state %u -> %u", serviceName.c_str(), static_cast<unsigned>(state),
                    static_cast<unsigned>(newState));
    state = newState;
}

void AbstractClientIf::attachIf() {
    TRACE_ENTER("serviceName: %s", serviceName.c_str());
    // A second attach replaces the subscription rather than leaving the first one running.
    if (subscriptionId != BasePrimitive::UNSET) {
        kolm_unsubscribe(subscriptionId, TAVI_OWN_ID);
        subscriptionId = BasePrimitive::UNSET;
    }
    const int result = kolm_subscribe(serviceName.c_str(), getDomain().c_str(), getTag(), TAVI_OWN_ID);
    if (result != 0)
        TRACE_ERROR("kolm_subscribe for %s failed [ret = %d]", serviceName.c_str(), result);
    setState(WAIT_FOR_SERVER);
    TRACE_RETURN("%s", "");
}

void AbstractClientIf::detachIf() {
    TRACE_ENTER("serviceName: %s", serviceName.c_str());
    if (subscriptionId != BasePrimitive::UNSET) {
        kolm_unsubscribe(subscriptionId, TAVI_OWN_ID);
        subscriptionId = BasePrimitive::UNSET;
    }
    setState(DETACHED);
    TRACE_RETURN("%s", "");
}

bool AbstractClientIf::dispatchMsg(void* msg) {
    if (msg == nullptr) {
        TRACE_ERROR("Coding error: Received null pointer message!");
        return false;
    }
    const uint32_t msgno = getMsgno(msg);
    TRACE_ENTER_FREQ("msg_p->msgno: %u", msgno);
    bool taken = false;
    if (!NameServiceMessage::isNameServiceMsgno(msgno) || !dispatchNameServiceMsg(msg, msgno, taken))
        taken = receivePrimitive(msg);
    TRACE_RETURN_FREQ("%s", taken ? "true" : "false");
    return taken;
}

// Decides a name-service message (true, with taken set) or hands an added indication of our own
// subscription on to the primitive registered for it (false). A message too short to read is claimed
// by the first client it is offered to, since its subscription cannot be told.
bool AbstractClientIf::dispatchNameServiceMsg(void* msg, uint32_t msgno, bool& taken) {
    taken = true;
    if (!checkSize(msg, NameServiceMessage::getName(msgno), msgno,
                   NameServiceMessage::getRequiredSize(msgno)))
        return true;
    const uint32_t id = NameServiceMessage::getSubscriptionId(msg);
    const bool ours = subscriptionId != BasePrimitive::UNSET && id == subscriptionId;
    switch (msgno) {
        case KOLM_SUBSCRIBE_RSP:
            if (NameServiceMessage::getTag(msg) != getTag()) {
                taken = false;
                return true;
            }
            // The name service answers a subscription once, in the own mailbox's name. Another answer
            // (a peer may write any sender) would point the subscription at an id nobody announces,
            // and the server would never be seen again.
            if (tavi_sender(msg) != getOwnPid() || subscriptionId != BasePrimitive::UNSET) {
                TRACE_WARNING("Dropped KOLM_SUBSCRIBE_RSP for %s from %u [0x%08X]: %s", serviceName.c_str(),
                              tavi_sender(msg), tavi_sender(msg),
                              subscriptionId != BasePrimitive::UNSET
                                  ? "the subscription was answered already"
                                  : "only the name service answers a subscription");
                return true;
            }
            TRACE_REC_MSG("Received: KOLM_SUBSCRIBE_RSP for %s", serviceName.c_str());
            subscriptionId = id;
            return true;
        case KOLM_SERVICE_ADDED_IND:
            if (!ours) {
                taken = false;
                return true;
            }
            TRACE_REC_MSG("Received: KOLM_SERVICE_ADDED_IND for %s", serviceName.c_str());
            return false;
        default:
            // The loss of the server is learnt from the monitor, not from here.
            taken = ours;
            if (ours)
                TRACE_REC_MSG("Received: KOLM_SERVICE_REMOVED_IND for %s", serviceName.c_str());
            return true;
    }
}

void AbstractClientIf::dispatchPrimitive(BasePrimitive* primitive, uint32_t senderPid) {
    TRACE_ENTER_FREQ("primitive: %p, senderPid: %u", static_cast<void*>(primitive), senderPid);
    if (primitive == nullptr) {
        TRACE_ERROR("Coding error: Received null pointer primitive!");
        TRACE_RETURN_FREQ("%s", "");
        return;
    }
    if (senderPid == 0) {
        TRACE_ERROR("Coding error: Try to dispatch with incorrect sender process id!");
        TRACE_RETURN_FREQ("%s", "");
        return;
    }
    const uint32_t kind = primitive->getPrimitiveId();
    bool wrongState = false;
    switch (kind) {
        case BasePrimitive::SERVER_UP:
            if ((wrongState = state != WAIT_FOR_SERVER))
                break;
            handleServerUp(primitive, senderPid);
            break;
        case BasePrimitive::INIT_CFM:
            if ((wrongState = state != WAIT_FOR_INIT_CFM))
                break;
            setState(INITIATED);
            connectionData = {primitive->getProcedureReference(), primitive->getConnectionReference(),
                              primitive->getConnectionWord1(), primitive->getConnectionWord2()};
            if (peer_)
                PeerStatus::connected(*peer_, senderPid);
            handleServicePrimitive(primitive);
            notifyListeners(primitive, senderPid);
            break;
        case BasePrimitive::INIT_REJ:
            if ((wrongState = state != WAIT_FOR_INIT_CFM))
                break;
            endMonitor();
            setState(NOT_CONNECTED);
            if (peer_)
                PeerStatus::refused(*peer_, senderPid, "the server rejected the connection");
            notifyListeners(primitive, senderPid);
            break;
        case BasePrimitive::INIT_SUS:
            if ((wrongState = state != WAIT_FOR_INIT_CFM))
                break;
            setState(REVISION_NOT_SUPPORTED);
            if (peer_)
                PeerStatus::refused(*peer_, senderPid, "the server supports none of the wanted revisions");
            notifyListeners(primitive, senderPid);
            break;
        case BasePrimitive::TERM_CFM:
            if ((wrongState = state != DETACHED))
                break;
            endMonitor();
            setState(NOT_CONNECTED);
            handleServicePrimitive(primitive);
            notifyListeners(primitive, senderPid);
            break;
        case BasePrimitive::SERVER_DOWN:
            // Only the monitor on our server counts; anyone else's is not about our connection.
            if (senderPid != serverPid)
                break;
            attRef = 0;  // the monitor has fired
            setState(NOT_CONNECTED);
            if (peer_)
                PeerStatus::lost(*peer_, senderPid);
            handleServicePrimitive(primitive);
            notifyListeners(primitive, senderPid);
            break;
        case BasePrimitive::SERVER_LOST:
            if (senderPid != serverPid)
                break;
            endMonitor();
            setState(NOT_CONNECTED);
            if (peer_)
                PeerStatus::lost(*peer_, senderPid);
            notifyListeners(primitive, senderPid);
            break;
        default:
            if (state != INITIATED) {
                TRACE_ERROR("Coding error: Service primitive (%u) received in wrong state (%u)", kind,
                            static_cast<unsigned>(state));
                break;
            }
            handleServicePrimitive(primitive);
            notifyListeners(primitive, senderPid);
            break;
    }
    if (wrongState)
        TRACE_ERROR("Coding error: Management primitive (%u) received in wrong state (%u)", kind,
                    static_cast<unsigned>(state));
    TRACE_RETURN_FREQ("%s", "");
}

// The server is reachable: supervise its mailbox (not our own, which cannot die under us) and ask for
// one of the wanted revisions.
void AbstractClientIf::handleServerUp(BasePrimitive* primitive, uint32_t senderPid) {
    BasePrimitive* request = findPrimitiveById(BasePrimitive::INIT_REQ);
    if (!checkPrimitive(request, BasePrimitive::INIT_REQ))
        return;
    serverPid = senderPid;
    BasePrimitive* serverDown = findPrimitiveById(BasePrimitive::SERVER_DOWN);
    if (serverDown != nullptr && serverPid != getOwnPid()) {
        endMonitor();
        fillMgmtPrimitive(serverDown);
        attRef = attach(serverDown->constructMessage(), serverPid);
    }
    InitReqPrimitive* initReq = castTo<InitReqPrimitive>(request);
    initReq->setPvFirstWanted(pvFirstWanted);
    initReq->setPvSecondWanted(pvSecondWanted);
    initReq->setPvThirdWanted(pvThirdWanted);
    fillMgmtPrimitive(initReq);
    send(initReq->constructMessage(), serverPid);
    setState(WAIT_FOR_INIT_CFM);
    notifyListeners(primitive, senderPid);
}

void AbstractClientIf::endMonitor() {
    if (attRef != 0) {
        detach(attRef);
        attRef = 0;
    }
}

bool AbstractClientIf::sendServicePrimitive(BasePrimitive* primitive) {
    TRACE_ENTER("primitive: %p", static_cast<void*>(primitive));
    if (primitive == nullptr) {
        TRACE_ERROR("Coding error: Received null pointer primitive!");
        TRACE_RETURN("%s", "false");
        return false;
    }
    if (state != INITIATED) {
        TRACE_DEBUG("Pending initialization: Try to send primitive later (state: %u)",
                    static_cast<unsigned>(state));
        TRACE_RETURN("%s", "false");
        return false;
    }
    send(primitive->constructMessage(), serverPid);
    TRACE_RETURN("%s", "true");
    return true;
}

bool AbstractClientIf::sendServicePrimitive(BasePrimitive* primitive, uint32_t fromPid) {
    TRACE_ENTER("primitive: %p, fromPid: %u", static_cast<void*>(primitive), fromPid);
    if (primitive == nullptr) {
        TRACE_ERROR("Coding error: Received null pointer primitive!");
        TRACE_RETURN("%s", "false");
        return false;
    }
    if (fromPid == 0) {
        TRACE_ERROR("Coding error: Try to send to incorrect process id!");
        TRACE_RETURN("%s", "false");
        return false;
    }
    if (state != INITIATED) {
        TRACE_DEBUG("Pending initialization: Try to send primitive later (state: %u)",
                    static_cast<unsigned>(state));
        TRACE_RETURN("%s", "false");
        return false;
    }
    send_w_s(primitive->constructMessage(), fromPid, serverPid);
    TRACE_RETURN("%s", "true");
    return true;
}

void AbstractClientIf::send(void* msg, uint32_t pid) {
    TRACE_ENTER("msg_p: %p, pid: %u", msg, pid);
    if (msg == nullptr)
        TRACE_ERROR("Coding error: Try to send a null pointer message!");
    else
        tavi_send(&msg, pid, getOwnPid());
    TRACE_RETURN("%s", "");
}

void AbstractClientIf::send_w_s(void* msg, uint32_t fromPid, uint32_t pid) {
    TRACE_ENTER("msg_p: %p, fromPid: %u, pid: %u", msg, fromPid, pid);
    if (msg == nullptr)
        TRACE_ERROR("Coding error: Try to send a null pointer message!");
    else
        tavi_send(&msg, pid, fromPid);
    TRACE_RETURN("%s", "");
}

uint32_t AbstractClientIf::attach(void* msg, uint32_t pid) {
    TRACE_ENTER("msg_p: %p, pid: %u", msg, pid);
    const uint32_t ref = tavi_monitor(pid, &msg);
    TRACE_RETURN("id: %u", ref);
    return ref;
}

void AbstractClientIf::detach(uint32_t ref) {
    TRACE_ENTER("attRef: %u", ref);
    tavi_unmonitor(ref);
    TRACE_RETURN("%s", "");
}

bool AbstractClientIf::checkPrimitive(BasePrimitive* primitive, uint32_t primitiveId) {
    if (primitive == nullptr) {
        TRACE_ERROR("You need to add primitive: %u to the PrimitiveContainer of ClientIf first", primitiveId);
        return false;
    }
    return true;
}

void AbstractClientIf::fillMgmtPrimitive(BasePrimitive* primitive) {
    if (primitive == nullptr)
        return;
    primitive->setProcedureReference(connectionData.procedureReference);
    primitive->setConnectionReference(connectionData.connectionReference);
}

void AbstractClientIf::handleServicePrimitive(BasePrimitive* primitive) {}

}  // namespace Sync
