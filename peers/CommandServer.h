#ifndef SYNC_PEERS_COMMANDSERVER_H
#define SYNC_PEERS_COMMANDSERVER_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "MailboxPeer.h"
#include "PeerListener.h"
#include "WireBuffer.h"

namespace SyncPeers {

// The command server as daemons see it: mailbox "Sync_tavi_coli". Daemons find it, register their
// commands with SYNC_COLI_REG_CMD_REQ (answered with SYNC_COLI_REG_CMD_RSP), and answer each
// SYNC_COLI_REQ with SYNC_COLI_IND pieces and a final SYNC_COLI_RSP. Command messages are in host
// order: msgno at 0, `len` (or `result`) at 4, then `len` bytes of packed strings or text.
//
// Driven by processOnce(); every wait is bounded by the caller's timeout. A registrant is watched, so
// its registration lapses when its mailbox goes away, and a command waiting for its answer fails then.
// What it drops goes to its listener.
class CommandServer : public MailboxPeer {
  public:
    static constexpr const char* DEFAULT_MAILBOX = "Sync_tavi_coli";
    static constexpr uint32_t SYNC_COLI_REG_CMD_REQ = 0x9B602;
    static constexpr uint32_t SYNC_COLI_REG_CMD_RSP = 0x9B603;
    static constexpr uint32_t SYNC_COLI_REQ = 0x9B604;
    static constexpr uint32_t SYNC_COLI_IND = 0x9B605;
    static constexpr uint32_t SYNC_COLI_RSP = 0x9B606;

    // Its protocol has nothing to tell but drops.
    using Listener = PeerListener;

    struct Registration {
        uint32_t pid;
        // Command name, synopsis, description, ... as the daemon packed them.
        std::vector<std::string> args;
        bool active;  // false once the registrant's mailbox has gone
    };

    // The answer to the last request sent.
    struct Answer {
        uint32_t pid = 0;
        std::vector<std::string> pieces;  // SYNC_COLI_IND texts in arrival order
        std::string response;             // SYNC_COLI_RSP text
        bool complete = false;            // the response arrived
        bool lost = false;                // the daemon went away first

        // Everything the daemon sent, in order.
        std::string text() const;
    };

    explicit CommandServer(std::string mailboxName = DEFAULT_MAILBOX);
    ~CommandServer() override;

    // Creates the mailbox; false (with lastError()) when the name is taken or the bus unreachable.
    bool open();
    // Leaves the bus: daemons watching the server see it go and look for it again.
    void close();

    // Answers the following registrations with this result (0 = registered, the default).
    void setRegistrationResult(uint32_t result) { registrationResult_ = result; }
    // Every registration received, oldest first (a daemon that comes back registers again).
    const std::vector<Registration>& registrations() const { return registrations_; }
    // The latest active registration of a command name, or null.
    const Registration* findRegistration(const std::string& name) const;
    // Processes messages until name is registered, at most timeoutMs; null when it was not.
    const Registration* waitForRegistration(const std::string& name, int timeoutMs);

    // Sends SYNC_COLI_REQ carrying args to pid and starts a new answer.
    void sendRequest(uint32_t pid, const std::vector<std::string>& args);
    // Sends bytes as they are (malformed requests) and starts a new answer.
    void sendRaw(uint32_t pid, const WireBuffer& message);
    // Sends a request and processes messages until its answer is complete or lost, at most timeoutMs.
    bool runCommand(uint32_t pid, const std::vector<std::string>& args, int timeoutMs);
    const Answer& answer() const { return answer_; }

    // Hands every drop to `listener` (not owned, never null) instead of the endpoint's own.
    void setListener(Listener* listener) { listener_ = listener; }

  private:
    void handle(const WireBuffer& message, uint32_t sender) override;
    void handleRegistration(const WireBuffer& message, uint32_t sender);
    void handleOutput(const WireBuffer& message, uint32_t sender);
    void handleRegistrantGone(uint32_t pid);
    // Packed data of `len` bytes at 8; false when len runs past the message or lacks its final NUL.
    static bool packedData(const WireBuffer& message, std::string& data);

    uint32_t registrationResult_ = 0;
    std::vector<Registration> registrations_;
    Answer answer_;
    Listener unheard_;
    Listener* listener_ = &unheard_;
};

}  // namespace SyncPeers

#endif
