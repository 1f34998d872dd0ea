#include "journal/PeerStatus.h"

#include "journal/EventJournal.h"

namespace Sync {

namespace {

struct PeerRow {
    const char* name;
    const char* words;  // in a message
};

const PeerRow PEERS[] = {
    {"port-control", "port control"},
    {"sync-control", "sync control"},
    {"data-plane", "data plane"},
    {"command", "command server"},
};

const char* const STATES[] = {"waiting", "connected", "lost", "refused"};

PeerStatus::Link* links() {
    static PeerStatus::Link* table = [] {
        auto* fresh = new PeerStatus::Link[PeerStatus::PEER_COUNT];
        for (uint32_t i = 0; i < PeerStatus::PEER_COUNT; ++i)
            fresh[i] = {PeerStatus::WAITING, std::chrono::system_clock::now(), 0};
        return fresh;
    }();
    return table;
}

// Taken at start-up, so that "waiting since" is the daemon's start even if no peer ever calls.
[[maybe_unused]] const bool linksMade = links() != nullptr;

void change(PeerStatus::Peer peer, PeerStatus::State state, uint32_t mailbox) {
    links()[peer] = {state, std::chrono::system_clock::now(), mailbox};
}

void report(EventJournal::Kind kind, PeerStatus::Peer peer, uint32_t mailbox, const std::string& what,
            const std::string& reason = {}) {
    const std::string subject = PEERS[peer].words;
    EventJournal::Fields fields{{"SYNC_PEER", PEERS[peer].name},
                                {"SYNC_PEER_MAILBOX", std::to_string(mailbox)}};
    if (!reason.empty())
        fields.emplace_back("SYNC_REASON", reason);
    const int priority = kind == EventJournal::PEER_LOST && peer == PeerStatus::COMMAND
                             ? EventJournal::priority(EventJournal::PEER_CONNECTED)
                             : EventJournal::priority(kind);
    EventJournal::report(kind, subject,
                         subject + " " + what + " (mailbox " + std::to_string(mailbox) + ")" +
                             (reason.empty() ? "" : ": " + reason),
                         fields, priority);
}

}  // namespace

void PeerStatus::connected(Peer peer, uint32_t mailbox) {
    const Link& now = links()[peer];
    if (now.state == CONNECTED && now.mailbox == mailbox)
        return;
    change(peer, CONNECTED, mailbox);
    report(EventJournal::PEER_CONNECTED, peer, mailbox, "connected");
}

void PeerStatus::lost(Peer peer, uint32_t mailbox) {
    const Link& now = links()[peer];
    if (now.state != CONNECTED || now.mailbox != mailbox)
        return;
    change(peer, LOST, mailbox);
    report(EventJournal::PEER_LOST, peer, mailbox, "lost");
}

void PeerStatus::refused(Peer peer, uint32_t mailbox, const std::string& reason) {
    if (links()[peer].state != CONNECTED)
        change(peer, REFUSED, mailbox);
    report(EventJournal::PEER_REFUSED, peer, mailbox, "refused", reason);
}

const PeerStatus::Link& PeerStatus::link(Peer peer) {
    return links()[peer];
}

const char* PeerStatus::name(Peer peer) {
    return PEERS[peer].name;
}

const char* PeerStatus::stateName(State state) {
    return STATES[state];
}

void PeerStatus::reset() {
    for (uint32_t peer = 0; peer < PEER_COUNT; ++peer)
        change(static_cast<Peer>(peer), WAITING, 0);
}

}  // namespace Sync
