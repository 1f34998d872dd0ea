#ifndef SYNC_PEERS_SYNCCONTROLSERVER_H
#define SYNC_PEERS_SYNCCONTROLSERVER_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "MailboxPeer.h"
#include "PeerListener.h"
#include "WireBuffer.h"

namespace SyncPeers {

// The node's sync-control service as its clients see it: publishes "sci" in domain "sync" on a mailbox
// of its own, answers connection requests, confirms subscriptions to every kind of information and,
// on request, sends the REC, selected-reference and telecom-standard indications to the subscribers.
// Every word after the message number is big-endian; a service message carries the client entity's id
// at 12. Connected clients are watched, so their subscriptions lapse when their mailbox goes away.
//
// Driven by processOnce(); every wait is bounded by the caller's timeout. What it receives, and what it
// drops, goes to its listener; each new subscription too, so that the current state can be replayed
// to that subscriber alone.
class SyncControlServer : public MailboxPeer {
  public:
    static constexpr const char* DEFAULT_MAILBOX = "sync-control-server";
    static constexpr const char* SERVICE = "sci";
    static constexpr const char* DOMAIN = "sync";

    static constexpr uint32_t SCI_CLIENT_DOWN_IND = 0x9B900;
    static constexpr uint32_t SCI_CONNECTION_ESTABLISHMENT_REQ = 0x9B902;
    static constexpr uint32_t SCI_CONNECTION_ESTABLISHMENT_CFM = 0x9B903;
    static constexpr uint32_t SCI_CONNECTION_ESTABLISHMENT_REJ = 0x9B904;
    static constexpr uint32_t SCI_SELECTED_REFERENCE_IND = 0x9B916;
    static constexpr uint32_t SCI_REC_CREATE_IND = 0x9B922;
    static constexpr uint32_t SCI_REC_DELETE_IND = 0x9B923;
    static constexpr uint32_t SCI_REC_SELECTION_PROCESS_MODE_IND = 0x9B924;
    static constexpr uint32_t SCI_REC_CLOCK_SETTLED_QUALITY_IND = 0x9B925;
    static constexpr uint32_t SCI_RECR_USE_QL_FROM_IND = 0x9B926;
    static constexpr uint32_t SCI_TELECOM_STANDARD_IND = 0x9B92C;
    static constexpr uint32_t SUPPORTED_REVISION = 1;

    // Kinds of information as subscriptions name them.
    static constexpr const char* REC_DATA = "REC_DATA";
    static constexpr const char* SELECTED_REFERENCE = "SELECTED_REFERENCE";
    static constexpr const char* TELECOM_STANDARD = "TELECOM_STANDARD";

    struct Client {
        uint32_t pid;
        uint32_t connectionReference;  // given in the confirmation
        bool alive;                    // false once its mailbox has gone
    };

    struct Subscription {
        std::string kind;  // "REC_DATA", "SELECTED_REFERENCE", ...
        uint32_t pid;
        uint32_t entityId;
    };

    // The numbers of one kind's subscription messages (0 where the kind has none).
    struct Kind;

    struct Received {
        uint32_t sender;
        WireBuffer message;
    };

    class Listener : public PeerListener {
      public:
        // Each message from a client, before it is answered (or dropped).
        virtual void arrived(const Received&) {}
        // A subscription was confirmed. Indications sent from here on, until it returns, reach this
        // subscriber only.
        virtual void subscribed(const Subscription&) {}
    };

    explicit SyncControlServer(std::string mailboxName = DEFAULT_MAILBOX);
    ~SyncControlServer() override;

    // Creates the mailbox and publishes the service; false (with lastError()) when either fails.
    bool open();
    // Leaves the bus: clients see the server's mailbox go and wait for the service's next owner.
    void close();

    // Rejects the following connection requests with errorCode; 0 confirms them again (the default).
    void setConnectionRejectCode(uint32_t errorCode) { connectionRejectCode_ = errorCode; }
    // Rejects the following subscriptions with errorCode; 0 confirms them again (the default).
    void setSubscriptionRejectCode(uint32_t errorCode) { subscriptionRejectCode_ = errorCode; }

    // Sends an indication to every live subscriber of its kind; how many were sent.
    size_t sendRecCreate();
    size_t sendRecDelete();
    size_t sendSelectionProcessMode(uint32_t selectionProcessMode);
    size_t sendClockSettledQuality(uint32_t clockSettledQuality);
    size_t sendRecrUseQLFrom(const std::string& referenceLdn, uint32_t useQLFrom);
    size_t sendTelecomStandard(uint32_t telecomStandard);
    size_t sendSelectedReference(uint32_t selectedReference, const std::string& selectedReferenceLdn);
    // Sends bytes as they are (malformed or unexpected messages).
    void sendRaw(uint32_t pid, const WireBuffer& message);

    // Every client that was confirmed, oldest first (a client that comes back appears again).
    const std::vector<Client>& clients() const { return clients_; }
    // The subscriptions in force, oldest first.
    const std::vector<Subscription>& subscriptions() const { return subscriptions_; }
    std::vector<Subscription> subscriptionsTo(const std::string& kind) const;

    // Hands what is received to `listener` (not owned, never null) instead of the endpoint's own.
    void setListener(Listener* listener) { listener_ = listener; }
    // Takes a message as if it had come from the bus (fuzzing, unit tests).
    void inject(const WireBuffer& message, uint32_t sender) { handle(message, sender); }

  private:
    void handle(const WireBuffer& message, uint32_t sender) override;
    void handleConnectionRequest(const WireBuffer& message, uint32_t sender);
    void handleSubscribe(const Kind& kind, const WireBuffer& message, uint32_t sender);
    void handleUnsubscribe(const Kind& kind, const WireBuffer& message, uint32_t sender);
    void handleClientGone(uint32_t pid);
    const Client* liveClient(uint32_t pid) const;
    // A message of size bytes to one subscriber: references and entity id filled in.
    WireBuffer serviceMessage(uint32_t msgno, size_t size, const Subscription& subscription) const;
    // Builds with fill and sends one indication to each live subscriber of kind.
    size_t indicate(const char* kind, uint32_t msgno, size_t size,
                    const std::function<void(WireBuffer&)>& fill);
    void send(const WireBuffer& message, uint32_t pid);

    uint32_t connectionRejectCode_ = 0;
    uint32_t subscriptionRejectCode_ = 0;
    uint32_t nextConnectionReference_ = 0x5C1;
    std::vector<Client> clients_;
    std::vector<Subscription> subscriptions_;
    Listener unheard_;
    Listener* listener_ = &unheard_;
    const Subscription* replayTo_ = nullptr;  // set while the listener replays to a new subscriber
};

}  // namespace SyncPeers

#endif
