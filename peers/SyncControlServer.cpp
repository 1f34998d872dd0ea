#include "SyncControlServer.h"

#include <cstdio>
#include <utility>

#include "Mailbox.h"
#include "MessageBuffer.h"

namespace SyncPeers {

struct SyncControlServer::Kind {
    const char* name;
    uint32_t subscribeReq;
    uint32_t subscribeCfm;
    uint32_t subscribeRej;
    uint32_t unsubscribeReq;
    uint32_t unsubscribeCfm;
    size_t subscribeReqSize;
};

namespace {

constexpr size_t PROCEDURE_REFERENCE_OFFSET = 4;
constexpr size_t CONNECTION_REFERENCE_OFFSET = 8;
constexpr size_t ENTITY_ID_OFFSET = 12;
constexpr size_t FIELD_OFFSET = 16;
constexpr size_t HEADER_SIZE = 16;
constexpr size_t LDN_WIDTH = 256;
constexpr size_t CONNECTION_REQ_SIZE = 28;
constexpr size_t CONNECTION_ANSWER_SIZE = 16;
constexpr size_t MONITOR_NOTICE_SIZE = 12;
constexpr size_t REJ_SIZE = 20;
constexpr size_t ONE_WORD_IND_SIZE = 20;
constexpr size_t LDN_IND_SIZE = 276;
constexpr uint32_t REVISION_NOT_SUPPORTED = 2;

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

const SyncControlServer::Kind KINDS[] = {
    {"RADIO_CLOCK_STATE", 0x9B905, 0x9B906, 0x9B907, 0x9B908, 0x9B909, HEADER_SIZE},
    {"CANDIDATED_REFERENCE", 0x9B90B, 0x9B90C, 0x9B90D, 0x9B90E, 0x9B90F, HEADER_SIZE},
    {"SELECTED_REFERENCE", 0x9B911, 0x9B912, 0x9B913, 0x9B914, 0x9B915, HEADER_SIZE},
    {"FIXED_POSITION_STATUS", 0x9B917, 0x9B918, 0x9B919, 0x9B91A, 0x9B91B, HEADER_SIZE},
    {"REC_DATA", 0x9B91D, 0x9B91E, 0x9B91F, 0x9B920, 0x9B921, HEADER_SIZE},
    {"TELECOM_STANDARD", 0x9B927, 0x9B928, 0x9B929, 0x9B92A, 0x9B92B, HEADER_SIZE},
    {"BFN_JUMP_ALERT", 0x9B92D, 0x9B92E, 0x9B92F, 0x9B930, 0x9B931, HEADER_SIZE},
    {"LOOSE_TIME_STATE", 0x9B933, 0x9B934, 0x9B935, 0x9B936, 0x9B937, HEADER_SIZE},
    {"LOOSE_TIME_DIFF", 0x9B939, 0x9B93A, 0x9B93B, 0x9B93C, 0x9B93D, HEADER_SIZE},
    {"DEGRADED_STATUS", 0x9B93F, 0x9B940, 0x9B941, 0x9B942, 0x9B943, HEADER_SIZE},
    {"SEMI_LOOSE_MODE", 0x9B949, 0x9B94A, 0x9B94B, 0, 0, HEADER_SIZE},
    {"TIME_ERROR", 0x9B94D, 0x9B94E, 0x9B94F, 0x9B950, 0x9B951, HEADER_SIZE},
    {"PTP_CLOCK_TYPE", 0x9B953, 0, 0x9B954, 0, 0, HEADER_SIZE + 4},
    {"FRU_DATA", 0x9B955, 0x9B956, 0x9B957, 0, 0, HEADER_SIZE},
    {"CANDIDATE_ASSIST_REF", 0x9B959, 0x9B95A, 0x9B95B, 0, 0, HEADER_SIZE},
    {"FH_NODE_PRIO", 0x9B95D, 0x9B95E, 0x9B95F, 0, 0, HEADER_SIZE},
    {"RECR_CONFIG", 0x9B961, 0x9B962, 0x9B963, 0, 0, HEADER_SIZE},
    {"OVERRIDE_PTP_DATA", 0x9B965, 0x9B966, 0x9B967, 0, 0, HEADER_SIZE},
};

// Requests the server takes without answering: port scan, NGS BFN align, passive monitoring.
const uint32_t UNANSWERED[] = {0x9B945, 0x9B947, 0x9B969};

const SyncControlServer::Kind* findKind(uint32_t msgno, bool unsubscribe) {
    for (const SyncControlServer::Kind& kind : KINDS)
        if (msgno != 0 && msgno == (unsubscribe ? kind.unsubscribeReq : kind.subscribeReq))
            return &kind;
    return nullptr;
}

}  // namespace

SyncControlServer::SyncControlServer(std::string mailboxName) : MailboxPeer(std::move(mailboxName)) {}

SyncControlServer::~SyncControlServer() = default;

bool SyncControlServer::open() {
    if (isOpen())
        return true;
    if (!openMailbox("bus unreachable, or name taken"))
        return false;
    const int published = mailbox_->publish(SERVICE, DOMAIN);
    if (published != 0) {
        lastError_ = "cannot publish \"" + std::string(SERVICE) + "\" in domain \"" + DOMAIN + "\" (" +
                     std::to_string(published) + "): another sync-control server is running";
        closeMailbox();
        return false;
    }
    return true;
}

// The watches on clients go with the mailbox; clients connect again once the service is back.
void SyncControlServer::close() {
    closeMailbox();
    for (Client& client : clients_)
        client.alive = false;
    subscriptions_.clear();
}

void SyncControlServer::handle(const WireBuffer& message, uint32_t sender) {
    const uint32_t msgno = message.msgno();
    if (msgno == SCI_CLIENT_DOWN_IND) {
        handleClientGone(sender);
        return;
    }
    listener_->arrived(Received{sender, message});
    if (msgno == SCI_CONNECTION_ESTABLISHMENT_REQ) {
        handleConnectionRequest(message, sender);
        return;
    }
    const Kind* subscribed = findKind(msgno, false);
    const Kind* unsubscribed = findKind(msgno, true);
    bool unanswered = false;
    for (uint32_t number : UNANSWERED)
        unanswered = unanswered || number == msgno;
    if (subscribed == nullptr && unsubscribed == nullptr && !unanswered) {
        listener_->dropped("dropped unknown message " + hex(msgno) + " from " + std::to_string(sender));
        return;
    }
    if (liveClient(sender) == nullptr) {
        listener_->dropped("dropped " + hex(msgno) + " from " + std::to_string(sender) + ": not connected");
        return;
    }
    if (message.size() < HEADER_SIZE) {
        listener_->dropped("dropped " + hex(msgno) + " from " + std::to_string(sender) + ": " +
                           std::to_string(message.size()) + " bytes, at least 16 needed");
        return;
    }
    if (subscribed != nullptr)
        handleSubscribe(*subscribed, message, sender);
    else if (unsubscribed != nullptr)
        handleUnsubscribe(*unsubscribed, message, sender);
}

void SyncControlServer::handleConnectionRequest(const WireBuffer& message, uint32_t sender) {
    if (message.size() < CONNECTION_REQ_SIZE) {
        listener_->dropped("dropped SCI_CONNECTION_ESTABLISHMENT_REQ from " + std::to_string(sender) + ": " +
                           std::to_string(message.size()) + " bytes, 28 needed");
        return;
    }
    const uint32_t procedureReference = message.be32(PROCEDURE_REFERENCE_OFFSET);
    const uint32_t count = message.be32(12);
    bool supported = false;
    for (uint32_t i = 0; i < count && i < 3; ++i)
        supported = supported || message.be32(16 + 4 * i) == SUPPORTED_REVISION;
    const uint32_t rejectCode = connectionRejectCode_ != 0 ? connectionRejectCode_
                                : supported                ? 0
                                                           : REVISION_NOT_SUPPORTED;
    if (rejectCode != 0) {
        WireBuffer reject(SCI_CONNECTION_ESTABLISHMENT_REJ, CONNECTION_ANSWER_SIZE);
        reject.putBe32(PROCEDURE_REFERENCE_OFFSET, procedureReference);
        reject.putBe32(CONNECTION_REFERENCE_OFFSET, message.be32(CONNECTION_REFERENCE_OFFSET));
        reject.putBe32(12, rejectCode);
        send(reject, sender);
        return;
    }
    // A client that asks again starts a new connection: its old one and its subscriptions end.
    bool watched = false;
    for (Client& client : clients_) {
        if (client.pid == sender && client.alive) {
            client.alive = false;
            watched = true;
        }
    }
    handleClientGone(sender);
    if (!watched && mailbox_) {
        void* notice = Sync::Platform::MessageBuffer::allocate(MONITOR_NOTICE_SIZE, SCI_CLIENT_DOWN_IND);
        mailbox_->monitor(sender, &notice);
    }
    const uint32_t connectionReference = nextConnectionReference_++;
    clients_.push_back(Client{sender, connectionReference, true});

    WireBuffer confirm(SCI_CONNECTION_ESTABLISHMENT_CFM, CONNECTION_ANSWER_SIZE);
    confirm.putBe32(PROCEDURE_REFERENCE_OFFSET, procedureReference);
    confirm.putBe32(CONNECTION_REFERENCE_OFFSET, connectionReference);
    confirm.putBe32(12, SUPPORTED_REVISION);
    send(confirm, sender);
}

void SyncControlServer::handleSubscribe(const Kind& kind, const WireBuffer& message, uint32_t sender) {
    if (message.size() < kind.subscribeReqSize) {
        listener_->dropped("dropped " + std::string(kind.name) + " subscription from " +
                           std::to_string(sender) + ": " + std::to_string(message.size()) + " bytes, " +
                           std::to_string(kind.subscribeReqSize) + " needed");
        return;
    }
    const Subscription subscription{kind.name, sender, message.be32(ENTITY_ID_OFFSET)};
    const uint32_t answerNo = subscriptionRejectCode_ != 0 ? kind.subscribeRej : kind.subscribeCfm;
    bool known = false;
    if (subscriptionRejectCode_ == 0) {
        for (const Subscription& s : subscriptions_)
            known = known ||
                    (s.kind == subscription.kind && s.pid == sender && s.entityId == subscription.entityId);
        if (!known)
            subscriptions_.push_back(subscription);
    }
    if (answerNo != 0) {
        WireBuffer answer =
            serviceMessage(answerNo, subscriptionRejectCode_ != 0 ? REJ_SIZE : HEADER_SIZE, subscription);
        answer.putBe32(PROCEDURE_REFERENCE_OFFSET, message.be32(PROCEDURE_REFERENCE_OFFSET));
        if (subscriptionRejectCode_ != 0)
            answer.putBe32(FIELD_OFFSET, subscriptionRejectCode_);
        send(answer, sender);
    }
    // The state goes after the confirmation, so the subscriber knows the subscription is in force.
    if (subscriptionRejectCode_ == 0 && !known) {
        replayTo_ = &subscription;
        listener_->subscribed(subscription);
        replayTo_ = nullptr;
    }
}

void SyncControlServer::handleUnsubscribe(const Kind& kind, const WireBuffer& message, uint32_t sender) {
    const Subscription subscription{kind.name, sender, message.be32(ENTITY_ID_OFFSET)};
    for (auto it = subscriptions_.begin(); it != subscriptions_.end();) {
        if (it->kind == subscription.kind && it->pid == sender && it->entityId == subscription.entityId)
            it = subscriptions_.erase(it);
        else
            ++it;
    }
    WireBuffer answer = serviceMessage(kind.unsubscribeCfm, HEADER_SIZE, subscription);
    answer.putBe32(PROCEDURE_REFERENCE_OFFSET, message.be32(PROCEDURE_REFERENCE_OFFSET));
    send(answer, sender);
}

void SyncControlServer::handleClientGone(uint32_t pid) {
    for (Client& client : clients_)
        if (client.pid == pid)
            client.alive = false;
    for (auto it = subscriptions_.begin(); it != subscriptions_.end();) {
        if (it->pid == pid)
            it = subscriptions_.erase(it);
        else
            ++it;
    }
}

const SyncControlServer::Client* SyncControlServer::liveClient(uint32_t pid) const {
    for (auto it = clients_.rbegin(); it != clients_.rend(); ++it)
        if (it->pid == pid && it->alive)
            return &*it;
    return nullptr;
}

WireBuffer SyncControlServer::serviceMessage(uint32_t msgno, size_t size,
                                             const Subscription& subscription) const {
    const Client* client = liveClient(subscription.pid);
    WireBuffer message(msgno, size);
    message.putBe32(PROCEDURE_REFERENCE_OFFSET, subscription.entityId);
    message.putBe32(CONNECTION_REFERENCE_OFFSET, client != nullptr ? client->connectionReference : 0);
    message.putBe32(ENTITY_ID_OFFSET, subscription.entityId);
    return message;
}

size_t SyncControlServer::indicate(const char* kind, uint32_t msgno, size_t size,
                                   const std::function<void(WireBuffer&)>& fill) {
    size_t sent = 0;
    for (const Subscription& subscription : subscriptionsTo(kind)) {
        if (liveClient(subscription.pid) == nullptr)
            continue;
        if (replayTo_ != nullptr &&
            (replayTo_->pid != subscription.pid || replayTo_->entityId != subscription.entityId))
            continue;
        WireBuffer message = serviceMessage(msgno, size, subscription);
        fill(message);
        send(message, subscription.pid);
        ++sent;
    }
    return sent;
}

size_t SyncControlServer::sendRecCreate() {
    return indicate(REC_DATA, SCI_REC_CREATE_IND, HEADER_SIZE, [](WireBuffer&) {});
}

size_t SyncControlServer::sendRecDelete() {
    return indicate(REC_DATA, SCI_REC_DELETE_IND, HEADER_SIZE, [](WireBuffer&) {});
}

size_t SyncControlServer::sendSelectionProcessMode(uint32_t selectionProcessMode) {
    return indicate(REC_DATA, SCI_REC_SELECTION_PROCESS_MODE_IND, ONE_WORD_IND_SIZE,
                    [=](WireBuffer& m) { m.putBe32(FIELD_OFFSET, selectionProcessMode); });
}

size_t SyncControlServer::sendClockSettledQuality(uint32_t clockSettledQuality) {
    return indicate(REC_DATA, SCI_REC_CLOCK_SETTLED_QUALITY_IND, ONE_WORD_IND_SIZE,
                    [=](WireBuffer& m) { m.putBe32(FIELD_OFFSET, clockSettledQuality); });
}

size_t SyncControlServer::sendRecrUseQLFrom(const std::string& referenceLdn, uint32_t useQLFrom) {
    return indicate(REC_DATA, SCI_RECR_USE_QL_FROM_IND, LDN_IND_SIZE, [&](WireBuffer& m) {
        m.putText(FIELD_OFFSET, LDN_WIDTH, referenceLdn.substr(0, LDN_WIDTH - 1));
        m.putBe32(FIELD_OFFSET + LDN_WIDTH, useQLFrom);
    });
}

size_t SyncControlServer::sendTelecomStandard(uint32_t telecomStandard) {
    return indicate(TELECOM_STANDARD, SCI_TELECOM_STANDARD_IND, ONE_WORD_IND_SIZE,
                    [=](WireBuffer& m) { m.putBe32(FIELD_OFFSET, telecomStandard); });
}

size_t SyncControlServer::sendSelectedReference(uint32_t selectedReference,
                                                const std::string& selectedReferenceLdn) {
    return indicate(SELECTED_REFERENCE, SCI_SELECTED_REFERENCE_IND, LDN_IND_SIZE, [&](WireBuffer& m) {
        m.putBe32(FIELD_OFFSET, selectedReference);
        m.putText(FIELD_OFFSET + 4, LDN_WIDTH, selectedReferenceLdn.substr(0, LDN_WIDTH - 1));
    });
}

void SyncControlServer::sendRaw(uint32_t pid, const WireBuffer& message) {
    send(message, pid);
}

void SyncControlServer::send(const WireBuffer& message, uint32_t pid) {
    if (mailbox_)
        mailbox_->send(message.bytes().data(), static_cast<uint32_t>(message.size()), pid);
}

std::vector<SyncControlServer::Subscription> SyncControlServer::subscriptionsTo(
    const std::string& kind) const {
    std::vector<Subscription> found;
    for (const Subscription& s : subscriptions_)
        if (s.kind == kind)
            found.push_back(s);
    return found;
}

}  // namespace SyncPeers
