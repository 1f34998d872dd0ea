#include "PortControlServer.h"

#include <cstdio>
#include <utility>

#include "Mailbox.h"
#include "MessageBuffer.h"

namespace SyncPeers {

namespace {

constexpr size_t PROCEDURE_REFERENCE_OFFSET = 4;
constexpr size_t CONNECTION_REFERENCE_OFFSET = 8;
constexpr size_t PAYLOAD_OFFSET = 12;
constexpr size_t HEADER_SIZE = 12;
constexpr size_t ONE_WORD_SIZE = 16;
constexpr size_t PORT_NAME_WIDTH = 16;
// Port record of GET_ETH_PORT_SUPPORT_CFM.
constexpr size_t RECORDS_OFFSET = 16;
constexpr size_t RECORD_SIZE = 48;
constexpr size_t RECORD_RHAI_ID = 4;
constexpr size_t RECORD_MAC = 8;
constexpr size_t RECORD_PORT_NAME = 14;
constexpr size_t RECORD_INTERFACE_NAME = 30;
constexpr size_t INTERFACE_NAME_WIDTH = 18;
// ETH_PORT_STATUS_IND.
constexpr size_t STATUS_ADMIN = 12;
constexpr size_t STATUS_OPER = 16;
constexpr size_t STATUS_PORT_NAME = 20;
constexpr size_t STATUS_NAMESPACE = 36;
// Returned by the monitor on a client's mailbox; never on the wire between peers.
constexpr uint32_t CLIENT_GONE_NOTICE = 0x1B10FE;

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

struct Layout {
    uint32_t msgno;
    const char* name;
    size_t size;  // fixed part for the variable ones
};

const Layout LAYOUTS[] = {
    {PortControlServer::IEPCSI_SERVER_UP_IND, "IEPCSI_SERVER_UP_IND", 12},
    {PortControlServer::IEPCSI_SERVER_DOWN_IND, "IEPCSI_SERVER_DOWN_IND", 12},
    {PortControlServer::IEPCSI_INIT_SERVICE_REQ, "IEPCSI_INIT_SERVICE_REQ", 24},
    {PortControlServer::IEPCSI_INIT_CFM, "IEPCSI_INIT_CFM", 16},
    {PortControlServer::IEPCSI_INIT_REJ, "IEPCSI_INIT_REJ", 16},
    {PortControlServer::IEPCSI_TERM_SERVICE_REQ, "IEPCSI_TERM_SERVICE_REQ", 12},
    {PortControlServer::IEPCSI_TERM_SERVICE_CFM, "IEPCSI_TERM_SERVICE_CFM", 12},
    {PortControlServer::IEPCSI_GET_ETH_PORT_SUPPORT_REQ, "IEPCSI_GET_ETH_PORT_SUPPORT_REQ", 12},
    {PortControlServer::IEPCSI_GET_ETH_PORT_SUPPORT_CFM, "IEPCSI_GET_ETH_PORT_SUPPORT_CFM", 16},
    {PortControlServer::IEPCSI_GET_ETH_PORT_SUPPORT_REJ, "IEPCSI_GET_ETH_PORT_SUPPORT_REJ", 16},
    {PortControlServer::IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ, "IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ", 32},
    {PortControlServer::IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_CFM, "IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_CFM", 16},
    {PortControlServer::IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REJ, "IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REJ", 16},
    {PortControlServer::IEPCSI_UNSUBSCRIBE_ETH_PORT_STATUS_REQ, "IEPCSI_UNSUBSCRIBE_ETH_PORT_STATUS_REQ", 16},
    {PortControlServer::IEPCSI_UNSUBSCRIBE_ETH_PORT_STATUS_CFM, "IEPCSI_UNSUBSCRIBE_ETH_PORT_STATUS_CFM", 12},
    {PortControlServer::IEPCSI_ETH_PORT_STATUS_IND, "IEPCSI_ETH_PORT_STATUS_IND", 36},
};

const Layout* findLayout(uint32_t msgno) {
    for (const Layout& layout : LAYOUTS)
        if (layout.msgno == msgno)
            return &layout;
    return nullptr;
}

}  // namespace

PortControlServer::PortControlServer(std::string mailboxName) : MailboxPeer(std::move(mailboxName)) {}

PortControlServer::~PortControlServer() = default;

bool PortControlServer::open() {
    return openMailbox("bus unreachable, or name taken");
}

// The watches on clients go with the mailbox; clients connect again once the server is back.
void PortControlServer::close() {
    closeMailbox();
    for (Client& client : clients_)
        client.alive = false;
    subscriptions_.clear();
    subscriptionOfEntity_.clear();
    subscriptionsOfPort_.clear();
}

void PortControlServer::setPorts(std::vector<Port> ports) {
    ports_ = std::move(ports);
    portsByName_.clear();
    portsByCutName_.clear();
    for (size_t at = 0; at < ports_.size(); ++at)
        indexPort(at);
}

void PortControlServer::addPort(const Port& port) {
    ports_.push_back(port);
    indexPort(ports_.size() - 1);
}

void PortControlServer::indexPort(size_t at) {
    const std::string& name = ports_[at].portName;
    portsByName_.emplace(name, at);
    portsByCutName_.emplace(name.substr(0, PORT_NAME_WIDTH - 1), at);
}

bool PortControlServer::setPortMac(const std::string& portName, const std::array<uint8_t, 6>& macAddress) {
    Port* port = findPort(portName);
    if (port == nullptr)
        return false;
    port->macAddress = macAddress;
    return true;
}

bool PortControlServer::sendPortStatusTo(uint32_t subscriptionReference) {
    const auto found = subscriptions_.find(subscriptionReference);
    const Port* port = found == subscriptions_.end() ? nullptr : findPort(found->second.portName);
    if (port == nullptr)
        return false;
    send(statusIndication(*port, found->second), found->second.pid);
    return true;
}

bool PortControlServer::setPortState(const std::string& portName, uint32_t adminState, uint32_t operState) {
    Port* port = findPort(portName);
    if (port == nullptr)
        return false;
    port->adminState = adminState;
    port->operState = operState;
    return true;
}

bool PortControlServer::setPortNamespace(const std::string& portName, const std::string& networkNamespace) {
    Port* port = findPort(portName);
    if (port == nullptr)
        return false;
    port->networkNamespace = networkNamespace;
    return true;
}

PortControlServer::Received PortControlServer::decode(const WireBuffer& message, uint32_t sender) {
    Received r;
    r.sender = sender;
    r.msgno = message.msgno();
    r.message = message;
    const Layout* layout = findLayout(r.msgno);
    r.name = layout != nullptr ? layout->name : "UNKNOWN";
    r.complete = layout != nullptr && message.size() >= layout->size;
    r.procedureReference = message.be32(PROCEDURE_REFERENCE_OFFSET);
    r.connectionReference = message.be32(CONNECTION_REFERENCE_OFFSET);
    switch (r.msgno) {
        case IEPCSI_INIT_SERVICE_REQ:
            r.pvFirstWanted = message.be32(12);
            r.pvSecondWanted = message.be32(16);
            r.pvThirdWanted = message.be32(20);
            break;
        case IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ:
            r.portRole = message.be32(12);
            r.portName = message.text(16, PORT_NAME_WIDTH);
            break;
        case IEPCSI_UNSUBSCRIBE_ETH_PORT_STATUS_REQ:
            r.subscriptionReference = message.be32(12);
            break;
        default:
            break;
    }
    return r;
}

void PortControlServer::handle(const WireBuffer& message, uint32_t sender) {
    if (message.msgno() == CLIENT_GONE_NOTICE) {
        endClient(sender);
        return;
    }
    const Received request = decode(message, sender);
    listener_->arrived(request);
    if (request.name == "UNKNOWN") {
        listener_->dropped("dropped unknown message " + hex(request.msgno) + " from " +
                           std::to_string(sender));
        return;
    }
    if (!request.complete) {
        listener_->dropped("dropped " + request.name + " from " + std::to_string(sender) + ": " +
                           std::to_string(message.size()) + " bytes, " +
                           std::to_string(findLayout(request.msgno)->size) + " needed");
        return;
    }
    switch (request.msgno) {
        case IEPCSI_INIT_SERVICE_REQ:
            handleInit(request);
            break;
        case IEPCSI_TERM_SERVICE_REQ:
            handleTerm(request);
            break;
        case IEPCSI_GET_ETH_PORT_SUPPORT_REQ:
            handlePortSupport(request);
            break;
        case IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ:
            handleSubscribe(request);
            break;
        case IEPCSI_UNSUBSCRIBE_ETH_PORT_STATUS_REQ:
            handleUnsubscribe(request);
            break;
        default:
            listener_->dropped("dropped " + request.name + " from " + std::to_string(sender) +
                               ": not a request");
            break;
    }
}

WireBuffer PortControlServer::answer(uint32_t msgno, size_t size, const Received& request) {
    WireBuffer message(msgno, size);
    message.putBe32(PROCEDURE_REFERENCE_OFFSET, request.procedureReference);
    message.putBe32(CONNECTION_REFERENCE_OFFSET, request.connectionReference);
    return message;
}

void PortControlServer::handleInit(const Received& request) {
    if (initRejectReason_ != 0) {
        WireBuffer reject = answer(IEPCSI_INIT_REJ, ONE_WORD_SIZE, request);
        reject.putBe32(PAYLOAD_OFFSET, static_cast<uint32_t>(initRejectReason_));
        send(reject, request.sender);
        return;
    }
    // A client that asks again starts a new connection: its old one and its subscriptions end. Its
    // mailbox is watched once.
    bool watched = false;
    for (Client& client : clients_) {
        watched = watched || client.pid == request.sender;
        if (client.pid == request.sender)
            client.alive = false;
    }
    endClient(request.sender);
    if (!watched && mailbox_) {
        void* notice = Sync::Platform::MessageBuffer::allocate(HEADER_SIZE, CLIENT_GONE_NOTICE);
        mailbox_->monitor(request.sender, &notice);
    }
    const uint32_t connectionReference = nextConnectionReference_++;
    clients_.push_back(Client{request.sender, connectionReference, true});
    WireBuffer confirm = answer(IEPCSI_INIT_CFM, ONE_WORD_SIZE, request);
    confirm.putBe32(CONNECTION_REFERENCE_OFFSET, connectionReference);
    confirm.putBe32(PAYLOAD_OFFSET, revision_);
    send(confirm, request.sender);
}

void PortControlServer::handleTerm(const Received& request) {
    endClient(request.sender);
    send(answer(IEPCSI_TERM_SERVICE_CFM, HEADER_SIZE, request), request.sender);
}

void PortControlServer::handlePortSupport(const Received& request) {
    if (portSupportRejectReason_ != 0) {
        WireBuffer reject = answer(IEPCSI_GET_ETH_PORT_SUPPORT_REJ, ONE_WORD_SIZE, request);
        reject.putBe32(PAYLOAD_OFFSET, portSupportRejectReason_);
        send(reject, request.sender);
        return;
    }
    WireBuffer confirm =
        answer(IEPCSI_GET_ETH_PORT_SUPPORT_CFM, RECORDS_OFFSET + RECORD_SIZE * ports_.size(), request);
    confirm.putBe32(PAYLOAD_OFFSET, static_cast<uint32_t>(ports_.size()));
    for (size_t i = 0; i < ports_.size(); ++i) {
        const Port& port = ports_[i];
        const size_t record = RECORDS_OFFSET + RECORD_SIZE * i;
        confirm.putBe32(record, port.role);
        confirm.putBe32(record + RECORD_RHAI_ID, port.rhaiId);
        confirm.putBytes(record + RECORD_MAC, port.macAddress.data(), port.macAddress.size());
        confirm.putText(record + RECORD_PORT_NAME, PORT_NAME_WIDTH, port.portName);
        confirm.putText(record + RECORD_INTERFACE_NAME, INTERFACE_NAME_WIDTH, port.interfaceName);
    }
    send(confirm, request.sender);
}

void PortControlServer::handleSubscribe(const Received& request) {
    const Port* port = findSubscribedPort(request.portName);
    if (port == nullptr) {
        WireBuffer reject = answer(IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REJ, ONE_WORD_SIZE, request);
        reject.putBe32(PAYLOAD_OFFSET, REASON_UNKNOWN_PORT);
        send(reject, request.sender);
        return;
    }
    // A port entity that subscribes again replaces its subscription.
    auto previous = subscriptionOfEntity_.find({request.sender, request.procedureReference});
    if (previous != subscriptionOfEntity_.end())
        removeSubscription(subscriptions_.find(previous->second));
    const Subscription subscription{request.sender,
                                    request.procedureReference,
                                    request.connectionReference,
                                    nextSubscriptionReference_++,
                                    port->portName,
                                    request.portRole};
    addSubscription(subscription);
    WireBuffer confirm = answer(IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_CFM, ONE_WORD_SIZE, request);
    confirm.putBe32(PAYLOAD_OFFSET, subscription.subscriptionReference);
    send(confirm, request.sender);
    listener_->subscribed(subscription);
}

void PortControlServer::handleUnsubscribe(const Received& request) {
    auto it = subscriptions_.find(request.subscriptionReference);
    const bool found = it != subscriptions_.end() && it->second.pid == request.sender;
    if (found)
        removeSubscription(it);
    else
        listener_->dropped("unsubscription of unknown reference " +
                           std::to_string(request.subscriptionReference) + " from " +
                           std::to_string(request.sender));
    send(answer(IEPCSI_UNSUBSCRIBE_ETH_PORT_STATUS_CFM, HEADER_SIZE, request), request.sender);
}

void PortControlServer::endClient(uint32_t pid) {
    for (Client& client : clients_)
        if (client.pid == pid)
            client.alive = false;
    for (auto it = subscriptions_.begin(); it != subscriptions_.end();) {
        if (it->second.pid == pid)
            it = removeSubscription(it);
        else
            ++it;
    }
}

void PortControlServer::addSubscription(const Subscription& subscription) {
    const uint32_t reference = subscription.subscriptionReference;
    subscriptions_.emplace(reference, subscription);
    subscriptionOfEntity_[{subscription.pid, subscription.portEntityId}] = reference;
    subscriptionsOfPort_[subscription.portName].insert(reference);
}

PortControlServer::Subscriptions::iterator PortControlServer::removeSubscription(Subscriptions::iterator it) {
    const Subscription& subscription = it->second;
    subscriptionOfEntity_.erase({subscription.pid, subscription.portEntityId});
    auto ofPort = subscriptionsOfPort_.find(subscription.portName);
    ofPort->second.erase(it->first);
    if (ofPort->second.empty())
        subscriptionsOfPort_.erase(ofPort);
    return subscriptions_.erase(it);
}

// The name as the client sent it: the table's name, or its first 15 characters when the field cut it.
// Of two ports that match, the one earlier in the table.
const PortControlServer::Port* PortControlServer::findSubscribedPort(const std::string& receivedName) const {
    auto whole = portsByName_.find(receivedName);
    auto cut = portsByCutName_.find(receivedName);
    size_t at = ports_.size();
    if (whole != portsByName_.end())
        at = whole->second;
    if (cut != portsByCutName_.end() && cut->second < at)
        at = cut->second;
    return at < ports_.size() ? &ports_[at] : nullptr;
}

PortControlServer::Port* PortControlServer::findPort(const std::string& portName) {
    auto it = portsByName_.find(portName);
    return it != portsByName_.end() ? &ports_[it->second] : nullptr;
}

WireBuffer PortControlServer::statusIndication(const Port& port, const Subscription& subscription) const {
    WireBuffer message(IEPCSI_ETH_PORT_STATUS_IND, STATUS_NAMESPACE + NAMESPACE_WIDTH);
    message.putBe32(PROCEDURE_REFERENCE_OFFSET, subscription.portEntityId);
    message.putBe32(CONNECTION_REFERENCE_OFFSET, subscription.connectionReference);
    message.putBe32(STATUS_ADMIN, port.adminState);
    message.putBe32(STATUS_OPER, port.operState);
    message.putText(STATUS_PORT_NAME, PORT_NAME_WIDTH, port.portName);
    message.putText(STATUS_NAMESPACE, NAMESPACE_WIDTH, port.networkNamespace.substr(0, NAMESPACE_WIDTH - 1));
    return message;
}

size_t PortControlServer::sendPortStatus(const std::string& portName) {
    const Port* port = findPort(portName);
    if (port == nullptr)
        return 0;
    auto ofPort = subscriptionsOfPort_.find(port->portName);
    if (ofPort == subscriptionsOfPort_.end())
        return 0;
    for (uint32_t reference : ofPort->second) {
        const Subscription& subscription = subscriptions_.at(reference);
        send(statusIndication(*port, subscription), subscription.pid);
    }
    return ofPort->second.size();
}

size_t PortControlServer::sendAllPortStatus() {
    size_t sent = 0;
    for (const auto& [reference, subscription] : subscriptions_) {
        if (const Port* port = findPort(subscription.portName)) {
            send(statusIndication(*port, subscription), subscription.pid);
            ++sent;
        }
    }
    return sent;
}

void PortControlServer::sendRaw(uint32_t pid, const WireBuffer& message) {
    send(message, pid);
}

void PortControlServer::send(const WireBuffer& message, uint32_t pid) {
    if (!mailbox_) {
        listener_->dropped("not sent " + hex(message.msgno()) + " to " + std::to_string(pid) +
                           ": mailbox closed");
        return;
    }
    mailbox_->send(message.bytes().data(), static_cast<uint32_t>(message.size()), pid);
}

}  // namespace SyncPeers
