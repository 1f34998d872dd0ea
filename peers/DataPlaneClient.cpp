#include "DataPlaneClient.h"

#include <cinttypes>
#include <cstdio>
#include <utility>

#include "MacAddress.h"
#include "Mailbox.h"
#include "MessageBuffer.h"
#include "kolm.h"

namespace SyncPeers {

namespace {

constexpr size_t PROCEDURE_REFERENCE = 4;
constexpr size_t CONNECTION_REFERENCE = 8;
constexpr size_t FIRST_WORD = 12;
constexpr uint32_t HEADER_SIZE = 12;
constexpr uint32_t ONE_WORD_SIZE = 16;
constexpr uint32_t REQUEST_SIZE = 24;
constexpr uint32_t OUTPUT_CONFIG_SIZE = 544;
constexpr uint32_t INPUT_CONFIG_SIZE = 804;
constexpr uint32_t TRANSMIT_SSM_SIZE = 48;
constexpr uint32_t MAC_ADDRESS_FWD_SIZE = 20;
// Delivered to ourselves by the monitor on the daemon's mailbox; never sent to anyone.
constexpr uint32_t SERVER_GONE = 0x940FF;

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

uint64_t be64(const WireBuffer& message, size_t offset) {
    return uint64_t(message.be32(offset)) << 32 | message.be32(offset + 4);
}

// The layout size of each message the daemon sends, 0 for numbers that are not its to send.
uint32_t expectedSize(uint32_t msgno) {
    switch (msgno) {
        case DataPlaneClient::CONNECTION_ESTABLISHMENT_CFM:
        case DataPlaneClient::CONNECTION_ESTABLISHMENT_REJ:
        case DataPlaneClient::OUTPUT_ESMC_CONTROL_IND:
            return ONE_WORD_SIZE;
        case DataPlaneClient::INPUT_CONFIG_CREATE_RREQ:
        case DataPlaneClient::INPUT_CONFIG_CHANGE_RREQ:
            return INPUT_CONFIG_SIZE;
        case DataPlaneClient::OUTPUT_CONFIG_CREATE_RREQ:
        case DataPlaneClient::OUTPUT_CONFIG_CHANGE_RREQ:
            return OUTPUT_CONFIG_SIZE;
        case DataPlaneClient::INPUT_CONFIG_REMOVE_RREQ:
        case DataPlaneClient::OUTPUT_CONFIG_REMOVE_RREQ:
            return HEADER_SIZE;
        case DataPlaneClient::OUTPUT_TRANSMIT_SSM_IND:
            return TRANSMIT_SSM_SIZE;
        default:
            return 0;
    }
}

}  // namespace

const char* DataPlaneClient::Order::kindName(Kind kind) {
    switch (kind) {
        case OUTPUT_CREATE:
            return "OUTPUT_CREATE";
        case OUTPUT_CHANGE:
            return "OUTPUT_CHANGE";
        case OUTPUT_REMOVE:
            return "OUTPUT_REMOVE";
        case TRANSMIT_SSM:
            return "TRANSMIT_SSM";
        case ESMC_CONTROL:
            return "ESMC_CONTROL";
        case INPUT_CREATE:
            return "INPUT_CREATE";
        case INPUT_CHANGE:
            return "INPUT_CHANGE";
        case INPUT_REMOVE:
            return "INPUT_REMOVE";
    }
    return "?";
}

std::string DataPlaneClient::Order::describe() const {
    char text[1200];
    switch (kind) {
        case OUTPUT_CREATE:
        case OUTPUT_CHANGE:
            std::snprintf(text, sizeof text, "%s id=%u interfaceName=%s macAddress=%s networkNameSpace=%s%s",
                          kindName(kind), procedureReference, interfaceName.c_str(), macAddress.c_str(),
                          networkNameSpace.c_str(), rejected ? " (rejected)" : "");
            break;
        case INPUT_CREATE:
        case INPUT_CHANGE:
            std::snprintf(
                text, sizeof text,
                "%s id=%u rhaiPortId=%u ldn=%s interfaceName=%s macAddress=%s networkNameSpace=%s%s",
                kindName(kind), procedureReference, rhaiPortId, ldn.c_str(), interfaceName.c_str(),
                macAddress.c_str(), networkNameSpace.c_str(), rejected ? " (rejected)" : "");
            break;
        case TRANSMIT_SSM:
            std::snprintf(text, sizeof text,
                          "%s id=%u ssmCode=0x%02X enhancedSsmCode=0x%02X syncEMasterId=0x%016" PRIX64
                          " flag=0x%02X numberCascadedEnhancedEec=%u numberCascadedEec=%u",
                          kindName(kind), procedureReference, ssmCode, enhancedSsmCode, syncEMasterId, flag,
                          numberCascadedEnhancedEec, numberCascadedEec);
            break;
        case ESMC_CONTROL:
            std::snprintf(text, sizeof text, "%s id=%u output=%u (%s)", kindName(kind), procedureReference,
                          output, output == 1 ? "transmit" : "off");
            break;
        case OUTPUT_REMOVE:
        case INPUT_REMOVE:
            std::snprintf(text, sizeof text, "%s id=%u", kindName(kind), procedureReference);
            break;
    }
    return text;
}

DataPlaneClient::DataPlaneClient(std::string mailboxName) : MailboxPeer(std::move(mailboxName)) {}

DataPlaneClient::~DataPlaneClient() = default;

bool DataPlaneClient::open() {
    if (isOpen())
        return true;
    if (!openMailbox("bus unreachable, or the name is taken"))
        return false;
    state_ = State::WAIT_FOR_SERVER;
    subscriptionId_ = mailbox_->subscribe(SERVICE, DOMAIN, reinterpret_cast<uintptr_t>(this));
    if (subscriptionId_ == 0) {
        lastError_ = "cannot subscribe to \"" + std::string(SERVICE) + "\" in domain \"" + DOMAIN + "\"";
        close();
        return false;
    }
    return true;
}

void DataPlaneClient::close() {
    closeMailbox();
    setState(State::CLOSED);
    subscriptionId_ = 0;
    serverPid_ = 0;
    monitorRef_ = 0;
}

void DataPlaneClient::setRevisions(uint32_t first, uint32_t second, uint32_t third) {
    revisions_[0] = first;
    revisions_[1] = second;
    revisions_[2] = third;
}

void DataPlaneClient::setRequestReferences(uint32_t procedureReference, uint32_t connectionReference) {
    requestProcedureReference_ = procedureReference;
    requestConnectionReference_ = connectionReference;
}

bool DataPlaneClient::connect() {
    if (!mailbox_ || serverPid_ == 0)
        return false;
    if (monitorRef_ == 0) {
        void* gone = Sync::Platform::MessageBuffer::allocate(4, SERVER_GONE);
        monitorRef_ = mailbox_->monitor(serverPid_, &gone);
    }
    WireBuffer request(CONNECTION_ESTABLISHMENT_REQ, REQUEST_SIZE);
    request.putBe32(PROCEDURE_REFERENCE, requestProcedureReference_);
    request.putBe32(CONNECTION_REFERENCE, requestConnectionReference_);
    request.putBe32(12, revisions_[0]);
    request.putBe32(16, revisions_[1]);
    request.putBe32(20, revisions_[2]);
    send(request);
    setState(State::WAIT_FOR_CFM);
    return true;
}

bool DataPlaneClient::forwardMacAddress(const uint8_t mac[6], uint32_t procedureReference) {
    if (state_ != State::CONNECTED)
        return false;
    WireBuffer forward(OUTPUT_MAC_ADDRESS_FWD, MAC_ADDRESS_FWD_SIZE);
    forward.putBe32(PROCEDURE_REFERENCE, procedureReference);
    forward.putBe32(CONNECTION_REFERENCE, serverConnectionReference_);
    forward.putBytes(FIRST_WORD, mac, 6);
    send(forward);
    return true;
}

bool DataPlaneClient::forwardMacAddress(const std::string& text, uint32_t procedureReference) {
    const std::optional<SyncSys::MacAddress::Bytes> mac = SyncSys::MacAddress::parse(text);
    return mac && forwardMacAddress(mac->data(), procedureReference);
}

bool DataPlaneClient::sendRaw(const WireBuffer& message) {
    if (!mailbox_ || serverPid_ == 0)
        return false;
    send(message);
    return true;
}

void DataPlaneClient::assumeConnected(uint32_t serverPid, uint32_t serverConnectionReference) {
    serverPid_ = serverPid;
    serverConnectionReference_ = serverConnectionReference;
    setState(State::CONNECTED);
}

void DataPlaneClient::setState(State state) {
    if (state == state_)
        return;
    state_ = state;
    if (listener_ && (state == State::CONNECTED || state == State::WAIT_FOR_SERVER))
        listener_->connectionChanged(state);
}

void DataPlaneClient::send(const WireBuffer& message) {
    if (!mailbox_)
        return;
    mailbox_->send(message.bytes().data(), static_cast<uint32_t>(message.size()), serverPid_);
}

bool DataPlaneClient::waitForConnection(int timeoutMs) {
    waitFor([&] { return state_ == State::CONNECTED || state_ == State::REJECTED; }, timeoutMs);
    return state_ == State::CONNECTED;
}

bool DataPlaneClient::waitForOrders(size_t count, int timeoutMs) {
    return waitFor([&] { return orders_.size() >= count; }, timeoutMs);
}

void DataPlaneClient::handle(const WireBuffer& message, uint32_t sender) {
    const uint32_t msgno = message.msgno();
    if (msgno == KOLM_SUBSCRIBE_RSP)
        return;  // subscribe() already gave the id
    if (msgno == KOLM_SERVICE_ADDED_IND || msgno == KOLM_SERVICE_REMOVED_IND) {
        if (message.size() < KOLM_SERVICE_IND_SIZE || message.host32(4) != subscriptionId_)
            warn("dropped name-service message " + hex(msgno) + " of another subscription");
        else if (msgno == KOLM_SERVICE_ADDED_IND)
            handleServerUp(sender);
        return;  // a removal is learnt from the monitor, which also covers a daemon that crashed
    }
    if (msgno == SERVER_GONE) {
        handleServerGone(sender);
        return;
    }
    const uint32_t needed = expectedSize(msgno);
    if (needed == 0) {
        warn("dropped unexpected message " + hex(msgno) + " from " + std::to_string(sender));
        return;
    }
    if (message.size() < needed) {
        warn("dropped message " + hex(msgno) + " from " + std::to_string(sender) + ": " +
             std::to_string(message.size()) + " bytes received, " + std::to_string(needed) + " needed");
        return;
    }
    if (sender != serverPid_) {
        warn("dropped message " + hex(msgno) + " from " + std::to_string(sender) +
             ", which is not the daemon");
        return;
    }
    if (msgno == CONNECTION_ESTABLISHMENT_CFM || msgno == CONNECTION_ESTABLISHMENT_REJ)
        handleConnectionAnswer(message);
    else
        handleOrder(message);
}

void DataPlaneClient::handleServerUp(uint32_t pid) {
    if (pid == serverPid_ && state_ != State::WAIT_FOR_SERVER)
        return;
    if (pid != serverPid_ && monitorRef_ != 0) {
        mailbox_->unmonitor(monitorRef_);
        monitorRef_ = 0;
    }
    serverPid_ = pid;
    setState(State::WAIT_FOR_SERVER);
    if (autoConnect_)
        connect();
}

void DataPlaneClient::handleServerGone(uint32_t pid) {
    if (pid != serverPid_)
        return;  // a monitor on a daemon already replaced
    monitorRef_ = 0;
    serverPid_ = 0;
    serverConnectionReference_ = 0;
    setState(State::WAIT_FOR_SERVER);
}

void DataPlaneClient::handleConnectionAnswer(const WireBuffer& message) {
    if (state_ != State::WAIT_FOR_CFM) {
        warn("dropped connection answer " + hex(message.msgno()) + " that no request waits for");
        return;
    }
    if (message.msgno() == CONNECTION_ESTABLISHMENT_CFM) {
        selectedRevision_ = message.be32(FIRST_WORD);
        serverConnectionReference_ = message.be32(CONNECTION_REFERENCE);
        setState(State::CONNECTED);
    } else {
        connectionErrorCode_ = message.be32(FIRST_WORD);
        setState(State::REJECTED);
    }
}

void DataPlaneClient::handleOrder(const WireBuffer& message) {
    if (state_ != State::CONNECTED) {
        warn("dropped order " + hex(message.msgno()) + " received while not connected");
        return;
    }
    Order order;
    order.procedureReference = message.be32(PROCEDURE_REFERENCE);
    order.connectionReference = message.be32(CONNECTION_REFERENCE);
    // The answer to a create or change request, and its rejection, by the request's number.
    uint32_t confirm = 0;
    uint32_t reject = 0;
    switch (message.msgno()) {
        case OUTPUT_CONFIG_CREATE_RREQ:
        case OUTPUT_CONFIG_CHANGE_RREQ: {
            const bool create = message.msgno() == OUTPUT_CONFIG_CREATE_RREQ;
            order.kind = create ? Order::OUTPUT_CREATE : Order::OUTPUT_CHANGE;
            order.interfaceName = message.text(12, 256);
            order.macAddress = message.text(268, 20);
            order.networkNameSpace = message.text(288, 256);
            confirm = create ? OUTPUT_CONFIG_CREATE_RCFM : OUTPUT_CONFIG_CHANGE_RCFM;
            reject = create ? OUTPUT_CONFIG_CREATE_RREJ : OUTPUT_CONFIG_CHANGE_RREJ;
            break;
        }
        case INPUT_CONFIG_CREATE_RREQ:
        case INPUT_CONFIG_CHANGE_RREQ: {
            const bool create = message.msgno() == INPUT_CONFIG_CREATE_RREQ;
            order.kind = create ? Order::INPUT_CREATE : Order::INPUT_CHANGE;
            order.rhaiPortId = message.be32(12);
            order.ldn = message.text(16, 256);
            order.interfaceName = message.text(272, 256);
            order.macAddress = message.text(528, 20);
            order.networkNameSpace = message.text(548, 256);
            confirm = create ? INPUT_CONFIG_CREATE_RCFM : INPUT_CONFIG_CHANGE_RCFM;
            reject = create ? INPUT_CONFIG_CREATE_RREJ : INPUT_CONFIG_CHANGE_RREJ;
            break;
        }
        case OUTPUT_CONFIG_REMOVE_RREQ:
            order.kind = Order::OUTPUT_REMOVE;
            confirm = OUTPUT_CONFIG_REMOVE_RCFM;
            break;
        case INPUT_CONFIG_REMOVE_RREQ:
            order.kind = Order::INPUT_REMOVE;
            confirm = INPUT_CONFIG_REMOVE_RCFM;
            break;
        case OUTPUT_TRANSMIT_SSM_IND:
            order.kind = Order::TRANSMIT_SSM;
            order.ssmCode = message.be32(12);
            order.enhancedSsmCode = message.be32(16);
            order.syncEMasterId = be64(message, 24);
            order.flag = message.be32(32);
            order.numberCascadedEnhancedEec = message.be32(36);
            order.numberCascadedEec = message.be32(40);
            break;
        case OUTPUT_ESMC_CONTROL_IND:
            order.kind = Order::ESMC_CONTROL;
            order.output = message.be32(12);
            break;
    }
    uint32_t errorCode = rejectErrorCode_;
    if (listener_)
        errorCode = listener_->ordered(order);
    if (reject != 0 && errorCode != 0) {
        order.rejected = true;
        answer(reject, ONE_WORD_SIZE, order.procedureReference, errorCode);
    } else if (confirm != 0) {
        answer(confirm, HEADER_SIZE, order.procedureReference);
    }
    if (!listener_) {
        order.wire = message;
        orders_.push_back(std::move(order));
    }
}

void DataPlaneClient::answer(uint32_t msgno, uint32_t size, uint32_t procedureReference, uint32_t errorCode) {
    WireBuffer reply(msgno, size);
    reply.putBe32(PROCEDURE_REFERENCE, procedureReference);
    reply.putBe32(CONNECTION_REFERENCE, serverConnectionReference_);
    if (size > HEADER_SIZE)
        reply.putBe32(FIRST_WORD, errorCode);
    send(reply);
}

void DataPlaneClient::warn(const std::string& text) {
    if (listener_) {
        listener_->dropped(text);
        return;
    }
    warnings_.push_back(text);
    std::fprintf(stderr, "%s: warning: %s\n", mailboxName_.c_str(), text.c_str());
}

}  // namespace SyncPeers
