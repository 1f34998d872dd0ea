#ifndef SYNC_PEERS_DATAPLANECLIENT_H
#define SYNC_PEERS_DATAPLANECLIENT_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "MailboxPeer.h"
#include "PeerListener.h"
#include "WireBuffer.h"

namespace SyncPeers {

// The SyncE data-plane client as the daemon sees it. It finds the daemon's service "SyncLumovControl"
// in domain "sync" through the name service, connects with SECLI_CONNECTION_ESTABLISHMENT_REQ (three
// configurable revisions), hands every order it receives, decoded, to its listener, which decides
// whether a configuration request is confirmed or rejected, and forwards a MAC address on request.
// Every word after the message number is big-endian; the 64-bit master id too.
//
// Driven by processOnce(); every wait is bounded by the caller's timeout. The daemon's mailbox is
// watched once a request went to it, so a daemon that goes away is noticed and, when it publishes
// itself again, connected to anew (unless auto-connect is off).
class DataPlaneClient : public MailboxPeer {
  public:
    static constexpr const char* DEFAULT_MAILBOX = "sync-dataplane-client";
    static constexpr const char* SERVICE = "SyncLumovControl";
    static constexpr const char* DOMAIN = "sync";

    static constexpr uint32_t CONNECTION_ESTABLISHMENT_REQ = 0x94002;
    static constexpr uint32_t CONNECTION_ESTABLISHMENT_CFM = 0x94003;
    static constexpr uint32_t CONNECTION_ESTABLISHMENT_REJ = 0x94004;
    static constexpr uint32_t INPUT_CONFIG_CREATE_RREQ = 0x94005;
    static constexpr uint32_t INPUT_CONFIG_CREATE_RCFM = 0x94006;
    static constexpr uint32_t INPUT_CONFIG_CREATE_RREJ = 0x94007;
    static constexpr uint32_t INPUT_CONFIG_CHANGE_RREQ = 0x94008;
    static constexpr uint32_t INPUT_CONFIG_CHANGE_RCFM = 0x94009;
    static constexpr uint32_t INPUT_CONFIG_CHANGE_RREJ = 0x9400A;
    static constexpr uint32_t INPUT_CONFIG_REMOVE_RREQ = 0x9400B;
    static constexpr uint32_t INPUT_CONFIG_REMOVE_RCFM = 0x9400C;
    static constexpr uint32_t OUTPUT_CONFIG_CREATE_RREQ = 0x94010;
    static constexpr uint32_t OUTPUT_CONFIG_CREATE_RCFM = 0x94011;
    static constexpr uint32_t OUTPUT_CONFIG_CREATE_RREJ = 0x94012;
    static constexpr uint32_t OUTPUT_CONFIG_CHANGE_RREQ = 0x94013;
    static constexpr uint32_t OUTPUT_CONFIG_CHANGE_RCFM = 0x94014;
    static constexpr uint32_t OUTPUT_CONFIG_CHANGE_RREJ = 0x94015;
    static constexpr uint32_t OUTPUT_CONFIG_REMOVE_RREQ = 0x94016;
    static constexpr uint32_t OUTPUT_CONFIG_REMOVE_RCFM = 0x94017;
    static constexpr uint32_t OUTPUT_TRANSMIT_SSM_IND = 0x94018;
    static constexpr uint32_t OUTPUT_ESMC_CONTROL_IND = 0x94019;
    static constexpr uint32_t OUTPUT_MAC_ADDRESS_FWD = 0x9401A;

    enum class State {
        CLOSED,           // no mailbox
        WAIT_FOR_SERVER,  // subscribed; the daemon is not (or no longer) there, or not yet asked
        WAIT_FOR_CFM,     // connection request sent
        CONNECTED,        // confirmed
        REJECTED,         // the daemon refused the connection
    };

    // One order of the daemon, with the fields its kind carries (the others stay at their defaults).
    struct Order {
        enum Kind {
            OUTPUT_CREATE,
            OUTPUT_CHANGE,
            OUTPUT_REMOVE,
            TRANSMIT_SSM,
            ESMC_CONTROL,
            INPUT_CREATE,
            INPUT_CHANGE,
            INPUT_REMOVE,
        };
        Kind kind = OUTPUT_CREATE;
        uint32_t procedureReference = 0;  // the daemon's id of the output (or input)
        uint32_t connectionReference = 0;
        // Configuration requests.
        std::string interfaceName;
        std::string macAddress;
        std::string networkNameSpace;
        uint32_t rhaiPortId = 0;  // inputs only
        std::string ldn;          // inputs only
        // Transmit SSM.
        uint32_t ssmCode = 0;
        uint32_t enhancedSsmCode = 0;
        uint64_t syncEMasterId = 0;
        uint32_t flag = 0;
        uint32_t numberCascadedEnhancedEec = 0;
        uint32_t numberCascadedEec = 0;
        // ESMC control: 1 transmit, 0 not.
        uint32_t output = 0;
        // The message as it arrived, every byte, for checks of the layout itself.
        WireBuffer wire;

        // One line naming the order and its fields.
        std::string describe() const;
        // "OUTPUT_CREATE", "TRANSMIT_SSM", ...
        static const char* kindName(Kind kind);
    };

    class Listener : public PeerListener {
      public:
        // One well-formed order of the connected daemon, before it is answered. For a create or
        // change request the result is the answer: 0 confirms, any other value is the errorCode of
        // the rejection. Other orders ignore the result.
        virtual uint32_t ordered(const Order&) { return 0; }
        // The connection reached `state` (CONNECTED, or WAIT_FOR_SERVER when the daemon went away).
        virtual void connectionChanged(State) {}
    };

    explicit DataPlaneClient(std::string mailboxName = DEFAULT_MAILBOX);
    ~DataPlaneClient() override;

    // Creates the mailbox and subscribes to the daemon's service; false (with lastError()) when the
    // mailbox name is taken or the bus unreachable.
    bool open();
    // Leaves the bus: the daemon sees its client's mailbox go. open() starts again with a new mailbox.
    void close();

    // The revisions the next connection request wants, in order of preference (1, 1, 1 by default).
    void setRevisions(uint32_t first, uint32_t second, uint32_t third);
    // Whether the daemon's appearance makes the client connect by itself (the default).
    void setAutoConnect(bool on) { autoConnect_ = on; }
    // References the connection request carries (1 and 0x00C11E47 by default).
    void setRequestReferences(uint32_t procedureReference, uint32_t connectionReference);
    // Sends the connection request to the daemon found; false while none is known.
    bool connect();

    // SECLI_OUTPUT_MAC_ADDRESS_FWD with the six bytes; false when not connected.
    bool forwardMacAddress(const uint8_t mac[6], uint32_t procedureReference = 0);
    // The same from "xx:xx:xx:xx:xx:xx"; false also when the text is no MAC address.
    bool forwardMacAddress(const std::string& text, uint32_t procedureReference = 0);
    // Sends bytes as they are to the daemon found (malformed messages); false while none is known.
    bool sendRaw(const WireBuffer& message);

    // Hands every order, drop and change of the connection to `listener` (not owned, never null)
    // instead of the endpoint's own.
    void setListener(Listener* listener) { listener_ = listener; }
    // Takes a message as if it had come from the bus. Without a mailbox the answers go nowhere; with
    // assumeConnected() this reaches order handling without a daemon (fuzzing, unit tests).
    void inject(const WireBuffer& message, uint32_t sender) { handle(message, sender); }
    void assumeConnected(uint32_t serverPid, uint32_t serverConnectionReference);

    // Processes messages until connected (or rejected), at most timeoutMs; whether connected.
    bool waitForConnection(int timeoutMs);

    State state() const { return state_; }
    uint32_t serverPid() const { return serverPid_; }
    uint32_t selectedRevision() const { return selectedRevision_; }
    // The connectionReference the confirmation carried; every answer carries it back.
    uint32_t serverConnectionReference() const { return serverConnectionReference_; }
    // errorCode of the last connection rejection.
    uint32_t connectionErrorCode() const { return connectionErrorCode_; }

  private:
    void handle(const WireBuffer& message, uint32_t sender) override;
    void handleServerUp(uint32_t pid);
    void handleServerGone(uint32_t pid);
    void handleConnectionAnswer(const WireBuffer& message);
    void handleOrder(const WireBuffer& message);
    void answer(uint32_t msgno, uint32_t size, uint32_t procedureReference, uint32_t errorCode = 0);
    void send(const WireBuffer& message);
    void setState(State state);

    State state_ = State::CLOSED;
    bool autoConnect_ = true;
    uint32_t revisions_[3] = {1, 1, 1};
    uint32_t requestProcedureReference_ = 1;
    uint32_t requestConnectionReference_ = 0x00C11E47;
    uint32_t subscriptionId_ = 0;
    uint32_t serverPid_ = 0;
    uint32_t monitorRef_ = 0;
    uint32_t selectedRevision_ = 0;
    uint32_t serverConnectionReference_ = 0;
    uint32_t connectionErrorCode_ = 0;
    Listener unheard_;
    Listener* listener_ = &unheard_;
};

}  // namespace SyncPeers

#endif
