// The daemon's four peers as an operator sees them: connected or not, and since when. The interfaces
// tell it when a connection is made, lost or refused; each change is one journal entry, and the
// command's status and JSON answers read the states back.
#ifndef SYNC_JOURNAL_PEERSTATUS_H
#define SYNC_JOURNAL_PEERSTATUS_H

#include <chrono>
#include <cstdint>
#include <string>

namespace Sync {

class PeerStatus {
  public:
    enum Peer : uint32_t { PORT_CONTROL, SYNC_CONTROL, DATA_PLANE, COMMAND, PEER_COUNT };
    // WAITING: never connected since the daemon started; LOST: was connected, is not now; REFUSED:
    // the last attempt was turned down (by the peer, or by this daemon for a data plane too many).
    enum State : uint32_t { WAITING, CONNECTED, LOST, REFUSED };

    struct Link {
        State state;
        std::chrono::system_clock::time_point since;  // when it entered the state (start: the daemon's)
        uint32_t mailbox;                             // the peer's mailbox id; 0 while never known
    };

    static void connected(Peer peer, uint32_t mailbox);
    // Only the connected mailbox can be lost. The command server leaves after every command, so its
    // loss is no warning.
    static void lost(Peer peer, uint32_t mailbox);
    // A refusal while another mailbox is connected (a second data plane) leaves the state as it is.
    static void refused(Peer peer, uint32_t mailbox, const std::string& reason);

    static const Link& link(Peer peer);
    // "port-control", "sync-control", "data-plane", "command": the SYNC_PEER values.
    static const char* name(Peer peer);
    // "waiting", "connected", "lost", "refused".
    static const char* stateName(State state);
    // Every peer waiting since now (tests, fuzzing).
    static void reset();
};

}  // namespace Sync

#endif
