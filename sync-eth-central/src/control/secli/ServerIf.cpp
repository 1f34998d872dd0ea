#include "control/secli/ServerIf.h"

#include "Macros.h"
#include "control/secli/MsgHandlers.h"
#include "control/secli/prim/ClientDownPrim.h"
#include "control/secli/prim/ConnectionEstablishmentCfmPrim.h"
#include "control/secli/prim/ConnectionEstablishmentRejPrim.h"
#include "control/secli/prim/ConnectionEstablishmentReqPrim.h"
#include "control/secli/prim/InputAssistDataFwdPrim.h"
#include "control/secli/prim/InputConfigChangeRcfmPrim.h"
#include "control/secli/prim/InputConfigChangeRrejPrim.h"
#include "control/secli/prim/InputConfigChangeRreqPrim.h"
#include "control/secli/prim/InputConfigCreateRcfmPrim.h"
#include "control/secli/prim/InputConfigCreateRrejPrim.h"
#include "control/secli/prim/InputConfigCreateRreqPrim.h"
#include "control/secli/prim/InputConfigRemoveRcfmPrim.h"
#include "control/secli/prim/InputConfigRemoveRreqPrim.h"
#include "control/secli/prim/InputDefectFwdPrim.h"
#include "control/secli/prim/InputReceivedSsmFwdPrim.h"
#include "control/secli/prim/OutputConfigChangeRcfmPrim.h"
#include "control/secli/prim/OutputConfigChangeRrejPrim.h"
#include "control/secli/prim/OutputConfigChangeRreqPrim.h"
#include "control/secli/prim/OutputConfigCreateRcfmPrim.h"
#include "control/secli/prim/OutputConfigCreateRrejPrim.h"
#include "control/secli/prim/OutputConfigCreateRreqPrim.h"
#include "control/secli/prim/OutputConfigRemoveRcfmPrim.h"
#include "control/secli/prim/OutputConfigRemoveRreqPrim.h"
#include "control/secli/prim/OutputEsmcControlIndPrim.h"
#include "control/secli/prim/OutputMacAddressFwdPrim.h"
#include "control/secli/prim/OutputTransmitSsmIndPrim.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

namespace {

template <class Handler>
MessageHandler* make(ServiceHandler* serviceHandler) {
    return new Handler(serviceHandler);
}

struct HandlerBinding {
    uint32_t primitiveId;
    MessageHandler* (*create)(ServiceHandler*);
};

const HandlerBinding handlerBindings[] = {
    {PRIM_CONNECTION_ESTABLISHMENT_REQ, make<InitReqMsgHandler>},
    {PRIM_CLIENT_DOWN, make<ClientDownMsgHandler>},
    {PRIM_INPUT_CONFIG_CREATE_RCFM, make<InputConfigCreateRcfmMsgHandler>},
    {PRIM_INPUT_CONFIG_CREATE_RREJ, make<InputConfigCreateRrejMsgHandler>},
    {PRIM_INPUT_CONFIG_CHANGE_RCFM, make<InputConfigChangeRcfmMsgHandler>},
    {PRIM_INPUT_CONFIG_CHANGE_RREJ, make<InputConfigChangeRrejMsgHandler>},
    {PRIM_INPUT_CONFIG_REMOVE_RCFM, make<InputConfigRemoveRcfmMsgHandler>},
    {PRIM_INPUT_DEFECT_FWD, make<InputDefectFwdMsgHandler>},
    {PRIM_INPUT_RECEIVED_SSM_FWD, make<InputReceivedSsmFwdMsgHandler>},
    {PRIM_INPUT_ASSIST_DATA_FWD, make<AssistDataFwdMsgHandler>},
    {PRIM_OUTPUT_CONFIG_CREATE_RCFM, make<OutputConfigCreateRcfmMsgHandler>},
    {PRIM_OUTPUT_CONFIG_CREATE_RREJ, make<OutputConfigCreateRrejMsgHandler>},
    {PRIM_OUTPUT_CONFIG_CHANGE_RCFM, make<OutputConfigChangeRcfmMsgHandler>},
    {PRIM_OUTPUT_CONFIG_CHANGE_RREJ, make<OutputConfigChangeRrejMsgHandler>},
    {PRIM_OUTPUT_CONFIG_REMOVE_RCFM, make<OutputConfigRemoveRcfmMsgHandler>},
    {PRIM_OUTPUT_MAC_ADDRESS_FWD, make<OutputMacAddressFwdMsgHandler>},
};

// Kinds the server sends and never receives: such a message from a peer is a fault of that peer.
bool isSentOnly(uint32_t primitiveId) {
    switch (primitiveId) {
        case PRIM_CONNECTION_ESTABLISHMENT_CFM:
        case PRIM_CONNECTION_ESTABLISHMENT_REJ:
        case PRIM_INPUT_CONFIG_CREATE_RREQ:
        case PRIM_INPUT_CONFIG_CHANGE_RREQ:
        case PRIM_INPUT_CONFIG_REMOVE_RREQ:
        case PRIM_OUTPUT_CONFIG_CREATE_RREQ:
        case PRIM_OUTPUT_CONFIG_CHANGE_RREQ:
        case PRIM_OUTPUT_CONFIG_REMOVE_RREQ:
        case PRIM_OUTPUT_TRANSMIT_SSM_IND:
        case PRIM_OUTPUT_ESMC_CONTROL_IND:
            return true;
        default:
            return false;
    }
}

}  // namespace

ServerIf::ServerIf(uint32_t ownMboxId) : AbstractServerIf(1, &PROTOCOL_REVISION, ownMboxId, MAX_CLIENTS) {
    TRACE_ENTER("ownMboxId: %d", static_cast<int>(ownMboxId));
    reportConnectionsAs(PeerStatus::DATA_PLANE);
    registerPrimitive(new ClientDownPrim());
    registerPrimitive(new ConnectionEstablishmentReqPrim());
    registerPrimitive(new ConnectionEstablishmentCfmPrim());
    registerPrimitive(new ConnectionEstablishmentRejPrim());
    registerPrimitive(new InputConfigCreateRreqPrim());
    registerPrimitive(new InputConfigCreateRcfmPrim());
    registerPrimitive(new InputConfigCreateRrejPrim());
    registerPrimitive(new InputConfigChangeRreqPrim());
    registerPrimitive(new InputConfigChangeRcfmPrim());
    registerPrimitive(new InputConfigChangeRrejPrim());
    registerPrimitive(new InputConfigRemoveRreqPrim());
    registerPrimitive(new InputConfigRemoveRcfmPrim());
    registerPrimitive(new InputDefectFwdPrim());
    registerPrimitive(new InputReceivedSsmFwdPrim());
    registerPrimitive(new InputAssistDataFwdPrim());
    registerPrimitive(new OutputConfigCreateRreqPrim());
    registerPrimitive(new OutputConfigCreateRcfmPrim());
    registerPrimitive(new OutputConfigCreateRrejPrim());
    registerPrimitive(new OutputConfigChangeRreqPrim());
    registerPrimitive(new OutputConfigChangeRcfmPrim());
    registerPrimitive(new OutputConfigChangeRrejPrim());
    registerPrimitive(new OutputConfigRemoveRreqPrim());
    registerPrimitive(new OutputConfigRemoveRcfmPrim());
    registerPrimitive(new OutputTransmitSsmIndPrim());
    registerPrimitive(new OutputEsmcControlIndPrim());
    registerPrimitive(new OutputMacAddressFwdPrim());
    TRACE_RETURN("%s", "");
}

ServerIf::~ServerIf() = default;

AbstractServiceClient* ServerIf::newClient(uint32_t selectedPv, uint32_t clientPid, uint32_t connectionWord1,
                                           uint32_t connectionWord2) {
    TRACE_ENTER("selectedPv: %u, clientPid: %u", selectedPv, clientPid);
    ServiceClient* client = new ServiceClient(selectedPv, clientPid, connectionWord1, connectionWord2);
    TRACE_RETURN("ptr: %p", static_cast<void*>(client));
    return client;
}

void ServerIf::deleteClient(AbstractServiceClient* client, uint32_t reason) {
    TRACE_ENTER("Client with mbox id %u deleted, reason %u", client != nullptr ? client->getClientPid() : 0,
                reason);
    delete client;
    TRACE_RETURN("%s", "");
}

ServiceClient* ServerIf::getClient() {
    ServiceClient* found = nullptr;
    for (AbstractServiceClient* client : getClients()) {
        if (ServiceClient* serviceClient = dynamic_cast<ServiceClient*>(client))
            found = serviceClient;
    }
    TRACE_RETURN("ptr: %p", static_cast<void*>(found));
    return found;
}

void ServerIf::dispatchPrimitive(BasePrimitive* primitive, uint32_t senderPid) {
    TRACE_ENTER_FREQ("primObj: %p, senderPid: %u", static_cast<void*>(primitive), senderPid);
    if (primitive != nullptr && isSentOnly(primitive->getPrimitiveId()))
        TRACE_WARNING("Dropped %s from %u: only the server sends it", primitive->getName(), senderPid);
    else
        AbstractServerIf::dispatchPrimitive(primitive, senderPid);
    TRACE_RETURN_FREQ("%s", "");
}

AbstractServiceClient* ServerIf::getClientObj(BasePrimitive* primitive, uint32_t pid) {
    TRACE_ENTER_FREQ("primObj: %p, pid: %u", static_cast<void*>(primitive), pid);
    AbstractServiceClient* found = nullptr;
    if (primitive == nullptr || primitive->getPrimitiveId() < BasePrimitive::FIRST_SERVICE) {
        found = AbstractServerIf::getClientObj(primitive, pid);
    } else {
        for (AbstractServiceClient* client : getClients()) {
            if (client->isSame(primitive, pid) && client->isPrimitiveReceiver(primitive)) {
                found = client;
                break;
            }
        }
    }
    TRACE_RETURN_FREQ("ptr: %p", static_cast<void*>(found));
    return found;
}

void ServerIf::addMsgHandlers(ServiceHandler* serviceHandler) {
    TRACE_ENTER("serviceHandler: %p", static_cast<void*>(serviceHandler));
    for (const HandlerBinding& binding : handlerBindings) {
        BasePrimitive* primitive = getPrimitive(binding.primitiveId);
        if (checkPrimitive(primitive, binding.primitiveId))
            addListener(primitive, binding.create(serviceHandler));
    }
    TRACE_RETURN("%s", "");
}

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync
