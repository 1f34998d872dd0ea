#include "DataPlaneClient.h"

#include <cinttypes>
#include <cstdio>
#include <utility>
#include <vector>

#include "MacAddress.h"
#include "Mailbox.h"
#include "MessageBuffer.h"
#include "kolm.h"

namespace SyncPeers {

namespace {

using Order = DataPlaneClient::Order;

constexpr size_t PROCEDURE_REFERENCE = 4;
constexpr size_t CONNECTION_REFERENCE = 8;
constexpr size_t FIRST_WORD = 12;
constexpr uint32_t HEADER_SIZE = 12;
constexpr uint32_t ONE_WORD_SIZE = 16;
// CONNECTION_ESTABLISHMENT_REQ: the three wanted revisions, one word each.
constexpr size_t REVISIONS = 12;
constexpr uint32_t REQUEST_SIZE = 24;
constexpr uint32_t MAC_ADDRESS_FWD_SIZE = 20;
// Texts of the configuration requests, each up to its NUL within its field.
constexpr size_t NAME_WIDTH = 256;  // interface name, ldn, network namespace
constexpr size_t MAC_TEXT_WIDTH = 20;
// Delivered to ourselves by the monitor on the daemon's mailbox; never sent to anyone.
constexpr uint32_t SERVER_GONE = 0x940FF;

// One field of an order and where it sits: a big-endian 32-bit or 64-bit word, or a text.
struct Field {
    size_t offset;
    uint32_t Order::*word;
    uint64_t Order::*longWord;
    std::string Order::*text;
    size_t width;
};

constexpr Field word(size_t offset, uint32_t Order::*member) {
    return {offset, member, nullptr, nullptr, 4};
}

constexpr Field longWord(size_t offset, uint64_t Order::*member) {
    return {offset, nullptr, member, nullptr, 8};
}

constexpr Field text(size_t offset, size_t width, std::string Order::*member) {
    return {offset, nullptr, nullptr, member, width};
}

// Each order the daemon sends: its kind, the bytes it needs, its fields after the two references, and
// the answers of a request (0: none; `reject` when the listener refuses it).
struct OrderLayout {
    uint32_t msgno;
    Order::Kind kind;
    const char* name;
    uint32_t size;
    uint32_t confirm;
    uint32_t reject;
    std::vector<Field> fields;
};

const std::vector<Field> OUTPUT_CONFIG_FIELDS = {
    text(12, NAME_WIDTH, &Order::interfaceName),
    text(268, MAC_TEXT_WIDTH, &Order::macAddress),
    text(288, NAME_WIDTH, &Order::networkNameSpace),
};

const std::vector<Field> INPUT_CONFIG_FIELDS = {
    word(12, &Order::rhaiPortId),
    text(16, NAME_WIDTH, &Order::ldn),
    text(272, NAME_WIDTH, &Order::interfaceName),
    text(528, MAC_TEXT_WIDTH, &Order::macAddress),
    text(548, NAME_WIDTH, &Order::networkNameSpace),
};

const std::vector<Field> TRANSMIT_SSM_FIELDS = {
    word(12, &Order::ssmCode),
    word(16, &Order::enhancedSsmCode),
    longWord(24, &Order::syncEMasterId),
    word(32, &Order::flag),
    word(36, &Order::numberCascadedEnhancedEec),
    word(40, &Order::numberCascadedEec),
};

const std::vector<Field> ESMC_CONTROL_FIELDS = {word(12, &Order::output)};

const std::vector<Field> NO_FIELDS;

const OrderLayout ORDERS[] = {
    {DataPlaneClient::OUTPUT_CONFIG_CREATE_RREQ, Order::OUTPUT_CREATE, "OUTPUT_CREATE", 544,
     DataPlaneClient::OUTPUT_CONFIG_CREATE_RCFM, DataPlaneClient::OUTPUT_CONFIG_CREATE_RREJ,
     OUTPUT_CONFIG_FIELDS},
    {DataPlaneClient::OUTPUT_CONFIG_CHANGE_RREQ, Order::OUTPUT_CHANGE, "OUTPUT_CHANGE", 544,
     DataPlaneClient::OUTPUT_CONFIG_CHANGE_RCFM, DataPlaneClient::OUTPUT_CONFIG_CHANGE_RREJ,
     OUTPUT_CONFIG_FIELDS},
    {DataPlaneClient::OUTPUT_CONFIG_REMOVE_RREQ, Order::OUTPUT_REMOVE, "OUTPUT_REMOVE", HEADER_SIZE,
     DataPlaneClient::OUTPUT_CONFIG_REMOVE_RCFM, 0, NO_FIELDS},
    {DataPlaneClient::INPUT_CONFIG_CREATE_RREQ, Order::INPUT_CREATE, "INPUT_CREATE", 804,
     DataPlaneClient::INPUT_CONFIG_CREATE_RCFM, DataPlaneClient::INPUT_CONFIG_CREATE_RREJ,
     INPUT_CONFIG_FIELDS},
    {DataPlaneClient::INPUT_CONFIG_CHANGE_RREQ, Order::INPUT_CHANGE, "INPUT_CHANGE", 804,
     DataPlaneClient::INPUT_CONFIG_CHANGE_RCFM, DataPlaneClient::INPUT_CONFIG_CHANGE_RREJ,
     INPUT_CONFIG_FIELDS},
    {DataPlaneClient::INPUT_CONFIG_REMOVE_RREQ, Order::INPUT_REMOVE, "INPUT_REMOVE", HEADER_SIZE,
     DataPlaneClient::INPUT_CONFIG_REMOVE_RCFM, 0, NO_FIELDS},
    {DataPlaneClient::OUTPUT_TRANSMIT_SSM_IND, Order::TRANSMIT_SSM, "TRANSMIT_SSM", 48, 0, 0,
     TRANSMIT_SSM_FIELDS},
    {DataPlaneClient::OUTPUT_ESMC_CONTROL_IND, Order::ESMC_CONTROL, "ESMC_CONTROL", ONE_WORD_SIZE, 0, 0,
     ESMC_CONTROL_FIELDS},
};

const OrderLayout* findOrder(uint32_t msgno) {
    for (const OrderLayout& layout : ORDERS)
        if (layout.msgno == msgno)
            return &layout;
    return nullptr;
}

void decode(const Field& field, const WireBuffer& message, Order& order) {
    if (field.word != nullptr)
        order.*field.word = message.be32(field.offset);
    else if (field.longWord != nullptr)
        order.*field.longWord = uint64_t(message.be32(field.offset)) << 32 | message.be32(field.offset + 4);
    else
        order.*field.text = message.text(field.offset, field.width);
}

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

// The layout size of each message the daemon sends, 0 for numbers that are not its to send.
uint32_t expectedSize(uint32_t msgno) {
    if (msgno == DataPlaneClient::CONNECTION_ESTABLISHMENT_CFM ||
        msgno == DataPlaneClient::CONNECTION_ESTABLISHMENT_REJ)
        return ONE_WORD_SIZE;
    const OrderLayout* layout = findOrder(msgno);
    return layout != nullptr ? layout->size : 0;
}

}  // namespace

const char* DataPlaneClient::Order::kindName(Kind kind) {
    for (const OrderLayout& layout : ORDERS)
        if (layout.kind == kind)
            return layout.name;
    return "?";
}

std::string DataPlaneClient::Order::describe() const {
    char text[1200];
    switch (kind) {
        case OUTPUT_CREATE:
        case OUTPUT_CHANGE:
            std::snprintf(text, sizeof text, "%s id=%u interfaceName=%s macAddress=%s networkNameSpace=%s",
                          kindName(kind), procedureReference, interfaceName.c_str(), macAddress.c_str(),
                          networkNameSpace.c_str());
            break;
        case INPUT_CREATE:
        case INPUT_CHANGE:
            std::snprintf(text, sizeof text,
                          "%s id=%u rhaiPortId=%u ldn=%s interfaceName=%s macAddress=%s networkNameSpace=%s",
                          kindName(kind), procedureReference, rhaiPortId, ldn.c_str(), interfaceName.c_str(),
                          macAddress.c_str(), networkNameSpace.c_str());
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
    for (size_t i = 0; i < 3; ++i)
        request.putBe32(REVISIONS + 4 * i, revisions_[i]);
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
    if ((state == State::CONNECTED || state == State::WAIT_FOR_SERVER))
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

void DataPlaneClient::handle(const WireBuffer& message, uint32_t sender) {
    const uint32_t msgno = message.msgno();
    if (msgno == KOLM_SUBSCRIBE_RSP)
        return;  // subscribe() already gave the id
    if (msgno == KOLM_SERVICE_ADDED_IND || msgno == KOLM_SERVICE_REMOVED_IND) {
        if (message.size() < KOLM_SERVICE_IND_SIZE || message.host32(4) != subscriptionId_)
            listener_->dropped("dropped name-service message " + hex(msgno) + " of another subscription");
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
        listener_->dropped("dropped unexpected message " + hex(msgno) + " from " + std::to_string(sender));
        return;
    }
    if (message.size() < needed) {
        listener_->dropped("dropped message " + hex(msgno) + " from " + std::to_string(sender) + ": " +
                           std::to_string(message.size()) + " bytes received, " + std::to_string(needed) +
                           " needed");
        return;
    }
    if (sender != serverPid_) {
        listener_->dropped("dropped message " + hex(msgno) + " from " + std::to_string(sender) +
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
        listener_->dropped("dropped connection answer " + hex(message.msgno()) +
                           " that no request waits for");
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
        listener_->dropped("dropped order " + hex(message.msgno()) + " received while not connected");
        return;
    }
    const OrderLayout& layout = *findOrder(message.msgno());
    Order order;
    order.kind = layout.kind;
    order.procedureReference = message.be32(PROCEDURE_REFERENCE);
    order.connectionReference = message.be32(CONNECTION_REFERENCE);
    for (const Field& field : layout.fields)
        decode(field, message, order);
    order.wire = message;
    const uint32_t errorCode = listener_->ordered(order);
    if (layout.reject != 0 && errorCode != 0)
        answer(layout.reject, ONE_WORD_SIZE, order.procedureReference, errorCode);
    else if (layout.confirm != 0)
        answer(layout.confirm, HEADER_SIZE, order.procedureReference);
}

void DataPlaneClient::answer(uint32_t msgno, uint32_t size, uint32_t procedureReference, uint32_t errorCode) {
    WireBuffer reply(msgno, size);
    reply.putBe32(PROCEDURE_REFERENCE, procedureReference);
    reply.putBe32(CONNECTION_REFERENCE, serverConnectionReference_);
    if (size > HEADER_SIZE)
        reply.putBe32(FIRST_WORD, errorCode);
    send(reply);
}

}  // namespace SyncPeers
