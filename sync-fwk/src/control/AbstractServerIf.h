#ifndef SYNC_CONTROL_ABSTRACTSERVERIF_H
#define SYNC_CONTROL_ABSTRACTSERVERIF_H

#include <cstdint>
#include <optional>
#include <vector>

#include "control/BaseInterface.h"
#include "journal/PeerStatus.h"

namespace Sync {

class AbstractServiceClient;

// The server side of a service interface: accepts clients through the init handshake (choosing a
// revision from the client's three wishes), keeps one record per client, supervises each client's
// mailbox, ends clients on terminate request or death, and lets service primitives through only from
// known clients.
//
// The concrete server registers init request (kind 2), confirm (3) and reject (4), and optionally not
// supported (5), terminate confirm (7), client down (8, the monitor message) and its service
// primitives; it creates and deletes the client records.
class AbstractServerIf : public BaseInterface {
  public:
    // Only an UP server sends; a TERMINATING one takes no more service primitives from clients.
    enum ServerIfState : uint32_t {
        DOWN = 0,
        UP = 1,
        TERMINATING = 2,
    };

    AbstractServerIf(uint32_t revisionCount, const uint32_t* revisions, uint32_t ownPid, uint32_t maxClients);
    // Deletes every client record, last first.
    ~AbstractServerIf() override;

    // UP.
    void attachIf() override;
    // DOWN.
    void detachIf() override;
    void dispatchPrimitive(BasePrimitive* primitive, uint32_t senderPid) override;
    // False, with an ERROR naming the kind, for a primitive that is not registered (null).
    virtual bool checkPrimitive(BasePrimitive* primitive, uint32_t primitiveId);
    virtual void send(void* msg, uint32_t pid);
    virtual uint32_t attach(void* msg, uint32_t pid);
    virtual void detach(uint32_t attRef);
    // A new record for an accepted client, or null to refuse it.
    virtual AbstractServiceClient* newClient(uint32_t selectedPv, uint32_t clientPid,
                                             uint32_t connectionWord1, uint32_t connectionWord2) = 0;
    // Destroys a record the interface is about to forget; reason REASON_TERMINATED or REASON_CLIENT_DOWN.
    virtual void deleteClient(AbstractServiceClient* client, uint32_t reason) = 0;
    virtual AbstractServiceClient* getClient() = 0;
    // The record a received primitive belongs to: the first, in acceptance order, that isSame says.
    virtual AbstractServiceClient* getClientObj(BasePrimitive* primitive, uint32_t pid);

    static constexpr uint32_t REASON_CLIENT_DOWN = 0;
    static constexpr uint32_t REASON_TERMINATED = 1;

    // Sends a filled primitive to one client, to every client, or to one mailbox; false when refused.
    bool sendServicePrimitive(BasePrimitive* primitive, AbstractServiceClient* client);
    bool sendServicePrimitive(BasePrimitive* primitive);
    bool sendServicePrimitive(BasePrimitive* primitive, uint32_t pid);

    // The first of the wishes, in the client's order, that this server supports; 0 when none.
    uint32_t selectRevision(uint32_t first, uint32_t second, uint32_t third) const;

    ServerIfState getState() const { return state; }
    const std::vector<uint32_t>& getSupportedRevisions() const { return supportedRevisions; }
    uint32_t getMaxClients() const { return maxClients; }
    const std::vector<AbstractServiceClient*>& getClients() const { return clients; }

  protected:
    void setState(ServerIfState newState);
    // Makes this server tell the operator's view when a client connects, goes or is refused.
    void reportConnectionsAs(PeerStatus::Peer peer) { peer_ = peer; }

  private:
    void handleInitReq(BasePrimitive* primitive, uint32_t senderPid);
    void reject(BasePrimitive* request, uint32_t senderPid, uint8_t cause);
    void handleTermReq(BasePrimitive* primitive, uint32_t senderPid);
    void handleClientDown(BasePrimitive* primitive, uint32_t senderPid);
    void handleService(BasePrimitive* primitive, uint32_t senderPid);
    void removeClient(AbstractServiceClient* client, uint32_t reason);
    bool canSend(BasePrimitive* primitive) const;
    uint32_t firstSupportedRevision() const;

    ServerIfState state = DOWN;
    std::vector<uint32_t> supportedRevisions;
    uint32_t maxClients;
    std::vector<AbstractServiceClient*> clients;
    std::optional<PeerStatus::Peer> peer_;
};

}  // namespace Sync

#endif
