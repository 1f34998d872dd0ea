#ifndef SYNC_CONTROL_ABSTRACTCLIENTIF_H
#define SYNC_CONTROL_ABSTRACTCLIENTIF_H

#include <cstdint>
#include <optional>
#include <string>

#include "control/BaseInterface.h"
#include "journal/PeerStatus.h"

namespace Sync {

class BaseServiceHandler;

// The client side of a service interface: finds the server through the name service (concrete clients
// may find it otherwise), supervises the server's mailbox, agrees a protocol revision with the init
// handshake, and only then lets service primitives through in either direction.
//
// The concrete client registers its primitives: server up (kind 1, under KOLM_SERVICE_ADDED_IND when
// the server is found through the name service), init request (2), confirm (3), and optionally reject
// (4), not supported (5), terminate confirm (7), server down (8, the monitor message) and its service
// primitives.
class AbstractClientIf : public BaseInterface {
  public:
    // Where the client stands in finding its server and agreeing a protocol revision.
    enum ClientIfState : uint32_t {
        NOT_CONNECTED = 0,           // no server, or the connection was lost or refused
        WAIT_FOR_SERVER = 1,         // looking for the server
        WAIT_FOR_INIT_CFM = 2,       // init request sent
        REVISION_NOT_SUPPORTED = 3,  // the server has none of the wanted revisions
        INITIATED = 4,               // handshake done; service primitives flow
        DETACHED = 5,                // detachIf done
    };

    // The connection data copied from the init confirm.
    struct ConnectionData {
        uint32_t procedureReference;
        uint32_t connectionReference;
        uint32_t connectionWord1;
        uint32_t connectionWord2;
    };

    AbstractClientIf(const std::string& serviceName, uint32_t ownPid, uint32_t pvFirstWanted,
                     uint32_t pvSecondWanted, uint32_t pvThirdWanted);
    ~AbstractClientIf() override;

    // Name-service messages of this interface's subscription, then its registered primitives.
    bool dispatchMsg(void* msg) override;
    // Subscribes to the server's service; WAIT_FOR_SERVER.
    void attachIf() override;
    // Unsubscribes; DETACHED.
    void detachIf() override;
    // Runs the connection protocol for management primitives and lets service primitives through
    // once INITIATED; accepted primitives reach their listeners after the state change.
    void dispatchPrimitive(BasePrimitive* primitive, uint32_t senderPid) override;
    // The name-service domain of the server's service.
    virtual std::string getDomain() const;
    // False, with an ERROR naming the kind, for a primitive that is not registered (null).
    virtual bool checkPrimitive(BasePrimitive* primitive, uint32_t primitiveId);
    // Sends msg (which passes to the mailbox library) to pid from the own mailbox.
    virtual void send(void* msg, uint32_t pid);
    // The same, with fromPid as the sender the receiver sees.
    virtual void send_w_s(void* msg, uint32_t fromPid, uint32_t pid);
    // Arms a monitor on pid that returns msg to the own mailbox when pid's mailbox disappears.
    virtual uint32_t attach(void* msg, uint32_t pid);
    virtual void detach(uint32_t attRef);
    // Puts the connection's references into a management primitive before it is sent. The default
    // copies procedureReference and connectionReference of the connection data.
    virtual void fillMgmtPrimitive(BasePrimitive* primitive);
    // Concrete reaction to init confirm, terminate confirm, server down and service primitives, run
    // after the state change and before the listeners. The default does nothing.
    virtual void handleServicePrimitive(BasePrimitive* primitive);
    // Binds a message handler to each received primitive the concrete client handles.
    virtual void addMsgHandlers(BaseServiceHandler* serviceHandler) = 0;

    // Sends a filled service primitive to the server; dropped (false) before INITIATED.
    bool sendServicePrimitive(BasePrimitive* primitive);
    // The same, with fromPid as the sender the server sees.
    bool sendServicePrimitive(BasePrimitive* primitive, uint32_t fromPid);

    ClientIfState getState() const { return state; }
    const std::string& getServiceName() const { return serviceName; }
    uint32_t getSubscriptionId() const { return subscriptionId; }
    uint32_t getServerPid() const { return serverPid; }
    uint32_t getAttRef() const { return attRef; }
    const ConnectionData& getConnectionData() const { return connectionData; }
    uint32_t getProcedureReference() const { return connectionData.procedureReference; }
    uint32_t getConnectionReference() const { return connectionData.connectionReference; }
    uint32_t getPvFirstWanted() const { return pvFirstWanted; }
    uint32_t getPvSecondWanted() const { return pvSecondWanted; }
    uint32_t getPvThirdWanted() const { return pvThirdWanted; }
    // The tag under which this interface subscribes: its own address.
    uint64_t getTag() const;

  protected:
    void setState(ClientIfState newState);
    // Makes this client tell the operator's view when its server connects, goes or refuses it.
    void reportConnectionAs(PeerStatus::Peer peer) { peer_ = peer; }
    void setConnectionData(const ConnectionData& data) { connectionData = data; }
    void setConnectionReference(uint32_t value) { connectionData.connectionReference = value; }

  private:
    bool dispatchNameServiceMsg(void* msg, uint32_t msgno, bool& taken);
    void handleServerUp(BasePrimitive* primitive, uint32_t senderPid);
    void endMonitor();

    std::string serviceName;
    uint32_t subscriptionId;
    uint32_t serverPid;
    ConnectionData connectionData;
    uint32_t attRef = 0;
    ClientIfState state = NOT_CONNECTED;
    uint32_t pvFirstWanted;
    uint32_t pvSecondWanted;
    uint32_t pvThirdWanted;
    std::optional<PeerStatus::Peer> peer_;
};

}  // namespace Sync

#endif
