#ifndef SYNC_CONTROL_ABSTRACTSERVICECLIENT_H
#define SYNC_CONTROL_ABSTRACTSERVICECLIENT_H

#include <cstdint>

namespace Sync {

class BasePrimitive;

// A server's record of one accepted client: the agreed revision, its mailbox, the references it last
// sent, the connection words of its init request and the monitor on its mailbox.
class AbstractServiceClient {
  public:
    AbstractServiceClient(uint32_t selectedPv, uint32_t clientPid, uint32_t connectionWord1,
                          uint32_t connectionWord2);
    virtual ~AbstractServiceClient();
    AbstractServiceClient(const AbstractServiceClient&) = delete;
    AbstractServiceClient& operator=(const AbstractServiceClient&) = delete;

    // Puts this client's references into a primitive about to be sent to it (or armed as its monitor
    // message). The default copies procedureReference and connectionReference; the connection words
    // are left alone, since the one registered instance serves every client.
    virtual void fillMgmtPrimitive(BasePrimitive* primitive);
    // Records what a primitive from this client carries. The default keeps nothing more.
    virtual void handlePrimitive(BasePrimitive* primitive);
    // Whether a primitive from pid belongs to this client: pid is its mailbox and the primitive's
    // second connection word is the one of its init request.
    virtual bool isSame(BasePrimitive* primitive, uint32_t pid) const;
    // A further test a concrete server can apply to service primitives; the default accepts all.
    virtual bool isPrimitiveReceiver(BasePrimitive* primitive) const;

    uint32_t getSelectedPv() const { return selectedPv; }
    uint32_t getClientPid() const { return clientPid; }
    uint32_t getProcedureReference() const { return procedureReference; }
    void setProcedureReference(uint32_t value) { procedureReference = value; }
    virtual uint32_t getConnectionReference() const { return connectionReference; }
    void setConnectionReference(uint32_t value) { connectionReference = value; }
    uint32_t getConnectionWord1() const { return connectionWord1; }
    uint32_t getConnectionWord2() const { return connectionWord2; }
    uint32_t getAttRef() const { return attRef; }
    void setAttRef(uint32_t value) { attRef = value; }

  private:
    uint32_t selectedPv;
    uint32_t clientPid;
    uint32_t procedureReference;
    uint32_t connectionReference;
    uint32_t connectionWord1;
    uint32_t connectionWord2;
    uint32_t attRef = 0;
};

}  // namespace Sync

#endif
