#include "control/AbstractServerIf.h"

#include <algorithm>

#include "Macros.h"
#include "control/AbstractServiceClient.h"
#include "control/BasePrimitive.h"
#include "control/CastTo.h"
#include "control/InitCfmPrimitive.h"
#include "control/InitRejPrimitive.h"
#include "control/InitReqPrimitive.h"
#include "control/InitSusPrimitive.h"
#include "tavi.h"

namespace Sync {

AbstractServerIf::AbstractServerIf(uint32_t revisionCount, const uint32_t* revisions, uint32_t ownPid,
                                   uint32_t maxClients)
    : BaseInterface(ownPid), maxClients(maxClients) {
    if (revisions != nullptr)
        supportedRevisions.assign(revisions, revisions + revisionCount);
}

AbstractServerIf::~AbstractServerIf() {
    while (!clients.empty()) {
        delete clients.back();
        clients.pop_back();
    }
}

void AbstractServerIf::setState(ServerIfState newState) {
    if (newState != state)
        TRACE_STATE("server state %u -> %u", static_cast<unsigned>(state), static_cast<unsigned>(newState));
    state = newState;
}

void AbstractServerIf::attachIf() {
    TRACE_ENTER("%s", "");
    setState(UP);
    TRACE_RETURN("%s", "");
}

void AbstractServerIf::detachIf() {
    TRACE_ENTER("%s", "");
    setState(DOWN);
    TRACE_RETURN("%s", "");
}

uint32_t AbstractServerIf::selectRevision(uint32_t first, uint32_t second, uint32_t third) const {
    for (const uint32_t wish : {first, second, third}) {
        if (wish != 0 &&
            std::find(supportedRevisions.begin(), supportedRevisions.end(), wish) != supportedRevisions.end())
            return wish;
    }
    return 0;
}

uint32_t AbstractServerIf::firstSupportedRevision() const {
    return supportedRevisions.empty() ? 0 : supportedRevisions.front();
}

void AbstractServerIf::dispatchPrimitive(BasePrimitive* primitive, uint32_t senderPid) {
    TRACE_ENTER_FREQ("primitive: %p, senderPid: %u", static_cast<void*>(primitive), senderPid);
    if (primitive == nullptr) {
        TRACE_ERROR("Coding error: Received null pointer primitive!");
    } else if (senderPid == 0) {
        TRACE_ERROR("Coding error: Try to dispatch with incorrect sender process id!");
    } else {
        switch (primitive->getPrimitiveId()) {
            case BasePrimitive::INIT_REQ:
                handleInitReq(primitive, senderPid);
                break;
            case BasePrimitive::TERM_REQ:
                handleTermReq(primitive, senderPid);
                break;
            case BasePrimitive::CLIENT_DOWN:
                handleClientDown(primitive, senderPid);
                break;
            default:
                handleService(primitive, senderPid);
                break;
        }
    }
    TRACE_RETURN_FREQ("%s", "");
}

void AbstractServerIf::handleInitReq(BasePrimitive* primitive, uint32_t senderPid) {
    InitReqPrimitive* request = castTo<InitReqPrimitive>(primitive);
    const uint32_t selected = selectRevision(request->getPvFirstWanted(), request->getPvSecondWanted(),
                                             request->getPvThirdWanted());
    if (selected == 0) {
        TRACE_INFO("No common protocol revision with client %u (%u, %u, %u)", senderPid,
                   request->getPvFirstWanted(), request->getPvSecondWanted(), request->getPvThirdWanted());
        InitSusPrimitive* notSupported = castTo<InitSusPrimitive>(findPrimitiveById(BasePrimitive::INIT_SUS));
        if (notSupported == nullptr) {
            reject(request, senderPid, InitRejPrimitive::CAUSE_REVISION_NOT_SUPPORTED);
            return;
        }
        notSupported->setSupportedRevision(firstSupportedRevision());
        notSupported->setProcedureReference(request->getProcedureReference());
        notSupported->setConnectionReference(request->getConnectionReference());
        send(notSupported->constructMessage(), senderPid);
        if (peer_)
            PeerStatus::refused(*peer_, senderPid, "no common protocol revision");
        return;
    }
    AbstractServiceClient* client = nullptr;
    if (clients.size() < maxClients)
        client = newClient(selected, senderPid, request->getConnectionWord1(), request->getConnectionWord2());
    if (client == nullptr) {
        TRACE_INFO("Client %u not accepted (%zu of at most %u clients)", senderPid, clients.size(),
                   maxClients);
        reject(request, senderPid, InitRejPrimitive::CAUSE_NO_MORE_CLIENTS);
        return;
    }
    clients.push_back(client);
    client->setProcedureReference(request->getProcedureReference());
    client->setConnectionReference(request->getConnectionReference());
    client->handlePrimitive(request);
    // Our own mailbox cannot die under us, so a client living in it is not supervised.
    BasePrimitive* clientDown = findPrimitiveById(BasePrimitive::CLIENT_DOWN);
    if (clientDown != nullptr && senderPid != getOwnPid()) {
        client->fillMgmtPrimitive(clientDown);
        client->setAttRef(attach(clientDown->constructMessage(), senderPid));
    }
    BasePrimitive* confirm = findPrimitiveById(BasePrimitive::INIT_CFM);
    if (checkPrimitive(confirm, BasePrimitive::INIT_CFM)) {
        InitCfmPrimitive* initCfm = castTo<InitCfmPrimitive>(confirm);
        initCfm->setPvSelected(selected);
        client->fillMgmtPrimitive(initCfm);
        send(initCfm->constructMessage(), senderPid);
    }
    if (peer_)
        PeerStatus::connected(*peer_, senderPid);
    notifyListeners(primitive, senderPid);
}

void AbstractServerIf::reject(BasePrimitive* request, uint32_t senderPid, uint8_t cause) {
    BasePrimitive* found = findPrimitiveById(BasePrimitive::INIT_REJ);
    if (!checkPrimitive(found, BasePrimitive::INIT_REJ))
        return;
    InitRejPrimitive* initRej = castTo<InitRejPrimitive>(found);
    initRej->setSupportedRevision(firstSupportedRevision());
    initRej->setProcedureReference(request->getProcedureReference());
    initRej->setConnectionReference(request->getConnectionReference());
    initRej->setRejectCause(cause);
    send(initRej->constructMessage(), senderPid);
    if (peer_)
        PeerStatus::refused(*peer_, senderPid,
                            cause == InitRejPrimitive::CAUSE_NO_MORE_CLIENTS ? "another client is connected"
                                                                             : "no common protocol revision");
}

void AbstractServerIf::handleTermReq(BasePrimitive* primitive, uint32_t senderPid) {
    AbstractServiceClient* client = getClientObj(primitive, senderPid);
    if (client == nullptr) {
        TRACE_INFO("No client related to primitive found. Already removed.");
        return;
    }
    client->setProcedureReference(primitive->getProcedureReference());
    BasePrimitive* confirm = findPrimitiveById(BasePrimitive::TERM_CFM);
    if (confirm != nullptr) {
        client->fillMgmtPrimitive(confirm);
        send(confirm->constructMessage(), senderPid);
    }
    if (client->getAttRef() != 0) {
        detach(client->getAttRef());
        client->setAttRef(0);
    }
    client->handlePrimitive(primitive);
    if (peer_)
        PeerStatus::lost(*peer_, senderPid);
    notifyListeners(primitive, senderPid);
    removeClient(client, REASON_TERMINATED);
}

void AbstractServerIf::handleClientDown(BasePrimitive* primitive, uint32_t senderPid) {
    AbstractServiceClient* client = getClientObj(primitive, senderPid);
    if (client == nullptr) {
        TRACE_INFO("No client related to primitive found. Already removed.");
        return;
    }
    // The monitor has fired; there is nothing to end.
    client->setAttRef(0);
    client->handlePrimitive(primitive);
    if (peer_)
        PeerStatus::lost(*peer_, senderPid);
    notifyListeners(primitive, senderPid);
    removeClient(client, REASON_CLIENT_DOWN);
}

void AbstractServerIf::handleService(BasePrimitive* primitive, uint32_t senderPid) {
    if (state == TERMINATING) {
        TRACE_DEBUG("Service primitive (%u) received in wrong terminating state (%u)",
                    primitive->getPrimitiveId(), static_cast<unsigned>(state));
        return;
    }
    AbstractServiceClient* client = getClientObj(primitive, senderPid);
    if (client == nullptr) {
        TRACE_INFO("No client related to primitive found. Already removed.");
        return;
    }
    client->setProcedureReference(primitive->getProcedureReference());
    client->handlePrimitive(primitive);
    notifyListeners(primitive, senderPid);
}

void AbstractServerIf::removeClient(AbstractServiceClient* client, uint32_t reason) {
    const auto found = std::find(clients.begin(), clients.end(), client);
    if (found == clients.end())
        return;  // a listener removed it already
    const auto index = found - clients.begin();
    deleteClient(client, reason);
    clients.erase(clients.begin() + index);
}

AbstractServiceClient* AbstractServerIf::getClientObj(BasePrimitive* primitive, uint32_t pid) {
    if (primitive == nullptr) {
        TRACE_ERROR("Coding error: Received null pointer primitive!");
        return nullptr;
    }
    for (AbstractServiceClient* client : clients) {
        if (client->isSame(primitive, pid))
            return client;
    }
    return nullptr;
}

bool AbstractServerIf::canSend(BasePrimitive* primitive) const {
    if (primitive == nullptr) {
        TRACE_ERROR("Coding error: Received null pointer primitive!");
        return false;
    }
    if (state != UP) {
        TRACE_ERROR("Coding error: Try to send primitive in wrong state (%u)", static_cast<unsigned>(state));
        return false;
    }
    return true;
}

bool AbstractServerIf::sendServicePrimitive(BasePrimitive* primitive, AbstractServiceClient* client) {
    TRACE_ENTER("primitive: %p, client: %p", static_cast<void*>(primitive), static_cast<void*>(client));
    bool sent = false;
    if (primitive != nullptr && client == nullptr)
        TRACE_ERROR("Coding error: Received null pointer client!");
    else if (canSend(primitive)) {
        send(primitive->constructMessage(), client->getClientPid());
        sent = true;
    }
    TRACE_RETURN("%s", sent ? "true" : "false");
    return sent;
}

bool AbstractServerIf::sendServicePrimitive(BasePrimitive* primitive) {
    TRACE_ENTER("primitive: %p, clients: %zu", static_cast<void*>(primitive), clients.size());
    const bool sent = canSend(primitive);
    if (sent) {
        // By index: a send never changes the list, but the list is the interface's, not ours to trust.
        for (size_t i = 0; i < clients.size(); ++i)
            send(primitive->constructMessage(), clients[i]->getClientPid());
    }
    TRACE_RETURN("%s", sent ? "true" : "false");
    return sent;
}

bool AbstractServerIf::sendServicePrimitive(BasePrimitive* primitive, uint32_t pid) {
    TRACE_ENTER("primitive: %p, pid: %u", static_cast<void*>(primitive), pid);
    const bool sent = canSend(primitive);
    if (sent)
        send(primitive->constructMessage(), pid);
    TRACE_RETURN("%s", sent ? "true" : "false");
    return sent;
}

void AbstractServerIf::send(void* msg, uint32_t pid) {
    TRACE_ENTER("msg_p: %p, pid: %u", msg, pid);
    if (msg == nullptr)
        TRACE_ERROR("Coding error: Try to send a null pointer message!");
    else
        tavi_send(&msg, pid, getOwnPid());
    TRACE_RETURN("%s", "");
}

uint32_t AbstractServerIf::attach(void* msg, uint32_t pid) {
    TRACE_ENTER("msg_p: %p, pid: %u", msg, pid);
    const uint32_t ref = tavi_monitor(pid, &msg);
    TRACE_RETURN("id: %u", ref);
    return ref;
}

void AbstractServerIf::detach(uint32_t ref) {
    TRACE_ENTER("attRef: %u", ref);
    tavi_unmonitor(ref);
    TRACE_RETURN("%s", "");
}

bool AbstractServerIf::checkPrimitive(BasePrimitive* primitive, uint32_t primitiveId) {
    if (primitive == nullptr) {
        TRACE_ERROR("You need to add primitive: %u to the PrimitiveContainer of ServerIf first", primitiveId);
        return false;
    }
    return true;
}

}  // namespace Sync
