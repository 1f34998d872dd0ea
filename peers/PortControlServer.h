#ifndef SYNC_PEERS_PORTCONTROLSERVER_H
#define SYNC_PEERS_PORTCONTROLSERVER_H

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "MailboxPeer.h"
#include "PeerListener.h"
#include "WireBuffer.h"

namespace SyncPeers {

// The node's port-control service as its clients see it: a mailbox named "iepcsi-server" that serves a
// table of Ethernet ports. It answers the connection handshake, the port-support query and port status
// (un)subscriptions, and on request sends status indications to the subscribers. Every word after the
// message number is big-endian. Connected clients are watched, so their subscriptions lapse when their
// mailbox goes away. What it receives, and what it drops, goes to its listener.
//
// Driven by processOnce(); every wait is bounded by the caller's timeout.
class PortControlServer : public MailboxPeer {
  public:
    static constexpr const char* MAILBOX_NAME = "iepcsi-server";

    static constexpr uint32_t IEPCSI_SERVER_UP_IND = 0x1B1041;
    static constexpr uint32_t IEPCSI_SERVER_DOWN_IND = 0x1B1042;
    static constexpr uint32_t IEPCSI_INIT_SERVICE_REQ = 0x1B1043;
    static constexpr uint32_t IEPCSI_INIT_CFM = 0x1B1044;
    static constexpr uint32_t IEPCSI_INIT_REJ = 0x1B1045;
    static constexpr uint32_t IEPCSI_TERM_SERVICE_REQ = 0x1B1046;
    static constexpr uint32_t IEPCSI_TERM_SERVICE_CFM = 0x1B1047;
    static constexpr uint32_t IEPCSI_GET_ETH_PORT_SUPPORT_REQ = 0x1B1048;
    static constexpr uint32_t IEPCSI_GET_ETH_PORT_SUPPORT_CFM = 0x1B1049;
    static constexpr uint32_t IEPCSI_GET_ETH_PORT_SUPPORT_REJ = 0x1B104A;
    static constexpr uint32_t IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ = 0x1B1050;
    static constexpr uint32_t IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_CFM = 0x1B1051;
    static constexpr uint32_t IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REJ = 0x1B1052;
    static constexpr uint32_t IEPCSI_UNSUBSCRIBE_ETH_PORT_STATUS_REQ = 0x1B1053;
    static constexpr uint32_t IEPCSI_UNSUBSCRIBE_ETH_PORT_STATUS_CFM = 0x1B1054;
    static constexpr uint32_t IEPCSI_ETH_PORT_STATUS_IND = 0x1B1055;

    // Role bits of a port record. A fronthaul port has C2 set and IDL clear.
    static constexpr uint32_t ROLE_IDL = 0x1;
    static constexpr uint32_t ROLE_C2 = 0x4;
    static constexpr uint32_t ROLE_RDI = 0x8;

    // Width of the namespace field this server puts at the end of a status indication.
    static constexpr size_t NAMESPACE_WIDTH = 64;
    // Reason sent in SUBSCRIBE_ETH_PORT_STATUS_REJ for a port name the table does not hold.
    static constexpr uint32_t REASON_UNKNOWN_PORT = 1;

    struct Port {
        uint32_t role = ROLE_C2;
        uint32_t rhaiId = 0;
        std::array<uint8_t, 6> macAddress{};
        std::string portName;       // sent in a 16-byte field: 16 characters fill it without NUL
        std::string interfaceName;  // 18-byte field
        uint32_t adminState = 1;    // 1 unlocked, anything else locked
        uint32_t operState = 1;     // 1 enabled, anything else disabled
        std::string networkNamespace;
    };

    // One received message, decoded. Fields a message does not carry stay 0 or empty.
    struct Received {
        uint32_t sender = 0;
        uint32_t msgno = 0;
        std::string name;       // "IEPCSI_INIT_SERVICE_REQ", ...; "UNKNOWN" for another number
        bool complete = false;  // held every byte of its layout
        uint32_t procedureReference = 0;
        uint32_t connectionReference = 0;
        uint32_t pvFirstWanted = 0;  // INIT_SERVICE_REQ
        uint32_t pvSecondWanted = 0;
        uint32_t pvThirdWanted = 0;
        uint32_t portRole = 0;  // SUBSCRIBE_ETH_PORT_STATUS_REQ
        std::string portName;
        uint32_t subscriptionReference = 0;  // UNSUBSCRIBE_ETH_PORT_STATUS_REQ
        WireBuffer message;
    };

    struct Client {
        uint32_t pid;
        uint32_t connectionReference;  // given in INIT_CFM
        bool alive;                    // false once it ended the connection or its mailbox went
    };

    struct Subscription {
        uint32_t pid;
        uint32_t portEntityId;  // the client's procedureReference, echoed in every indication
        uint32_t connectionReference;
        uint32_t subscriptionReference;
        std::string portName;  // the table's name of the port
        uint32_t portRole;     // as the client sent it
    };
    // By subscription reference, so oldest first.
    using Subscriptions = std::map<uint32_t, Subscription>;

    class Listener : public PeerListener {
      public:
        // Each message from a client, decoded, before it is answered (or dropped).
        virtual void arrived(const Received&) {}
        // A subscription was confirmed, so that its port's current status can go to it at once.
        virtual void subscribed(const Subscription&) {}
    };

    explicit PortControlServer(std::string mailboxName = MAILBOX_NAME);
    ~PortControlServer() override;

    // Creates the mailbox; false (with lastError()) when it cannot.
    bool open();
    // Leaves the bus: clients see the server's mailbox go. Clients and subscriptions end.
    void close();

    // The port table.
    void setPorts(std::vector<Port> ports);
    void addPort(const Port& port);
    const std::vector<Port>& ports() const { return ports_; }
    // Changes one port's state or namespace; false when the table has no such port. Nothing is sent.
    bool setPortState(const std::string& portName, uint32_t adminState, uint32_t operState);
    bool setPortNamespace(const std::string& portName, const std::string& networkNamespace);
    bool setPortMac(const std::string& portName, const std::array<uint8_t, 6>& macAddress);

    // Hands what is received to `listener` (not owned, never null) instead of the endpoint's own.
    void setListener(Listener* listener) { listener_ = listener; }
    // Takes a message as if it had come from the bus (fuzzing); answers go nowhere without a mailbox.
    void inject(const WireBuffer& message, uint32_t sender) { handle(message, sender); }

    // The revision INIT_CFM selects (1 by default).
    void setRevision(uint32_t revision) { revision_ = revision; }
    // Rejects the following init requests with reason; 0 confirms them again (the default).
    void setInitRejectReason(int32_t reason) { initRejectReason_ = reason; }
    // Rejects the following port-support requests with reason; 0 confirms them again (the default).
    void setPortSupportRejectReason(uint32_t reason) { portSupportRejectReason_ = reason; }

    // Sends the port's status to each live subscriber of it; how many were sent.
    size_t sendPortStatus(const std::string& portName);
    // The same for every subscription in force.
    size_t sendAllPortStatus();
    // The status of its port to one subscription; false when there is no such subscription or port.
    bool sendPortStatusTo(uint32_t subscriptionReference);
    // Sends bytes as they are (malformed or unexpected messages).
    void sendRaw(uint32_t pid, const WireBuffer& message);

    // Every client that was confirmed, oldest first (a client that comes back appears again).
    const std::vector<Client>& clients() const { return clients_; }
    // The subscriptions in force, oldest first.
    const Subscriptions& subscriptions() const { return subscriptions_; }

  private:
    void handle(const WireBuffer& message, uint32_t sender) override;
    static Received decode(const WireBuffer& message, uint32_t sender);
    void handleInit(const Received& request);
    void handleTerm(const Received& request);
    void handlePortSupport(const Received& request);
    void handleSubscribe(const Received& request);
    void handleUnsubscribe(const Received& request);
    void endClient(uint32_t pid);
    void addSubscription(const Subscription& subscription);
    Subscriptions::iterator removeSubscription(Subscriptions::iterator it);
    void indexPort(size_t at);
    // The port a subscription names: the table's name, or its first 15 characters.
    const Port* findSubscribedPort(const std::string& receivedName) const;
    Port* findPort(const std::string& portName);
    // An answer carrying the request's references.
    static WireBuffer answer(uint32_t msgno, size_t size, const Received& request);
    WireBuffer statusIndication(const Port& port, const Subscription& subscription) const;
    void send(const WireBuffer& message, uint32_t pid);

    // Every lookup a message needs goes through an index, so the server keeps pace with a client of
    // tens of thousands of ports. Names index the first port of the table that carries them.
    std::vector<Port> ports_;
    std::unordered_map<std::string, size_t> portsByName_;
    std::unordered_map<std::string, size_t> portsByCutName_;  // the first 15 characters
    uint32_t revision_ = 1;
    int32_t initRejectReason_ = 0;
    uint32_t portSupportRejectReason_ = 0;
    uint32_t nextConnectionReference_ = 0x1E01;
    uint32_t nextSubscriptionReference_ = 1;
    std::vector<Client> clients_;
    Subscriptions subscriptions_;
    std::map<std::pair<uint32_t, uint32_t>, uint32_t> subscriptionOfEntity_;   // (pid, entity) -> reference
    std::unordered_map<std::string, std::set<uint32_t>> subscriptionsOfPort_;  // references by port name
    Listener unheard_;
    Listener* listener_ = &unheard_;
};

}  // namespace SyncPeers

#endif
