#ifndef SYNC_CONTROL_BASEINTERFACE_H
#define SYNC_CONTROL_BASEINTERFACE_H

#include <cstdint>
#include <map>
#include <memory>

namespace Sync {

class BasePrimitive;
class MessageHandler;
class PrimitiveListenerContainer;

// A service interface: one registered instance of every primitive it understands, each with the
// message handlers to call for it. Received messages are unpacked into the registered instance, which
// is reused for every message of that number.
class BaseInterface {
  public:
    explicit BaseInterface(uint32_t ownPid);
    virtual ~BaseInterface();
    BaseInterface(const BaseInterface&) = delete;
    BaseInterface& operator=(const BaseInterface&) = delete;

    // Offers one received message (still owned by the caller). True when this interface claims it:
    // handled, or dropped because it is shorter than its layout. The default is the common receive path.
    virtual bool dispatchMsg(void* msg);
    virtual void attachIf() = 0;
    virtual void detachIf() = 0;
    virtual void dispatchPrimitive(BasePrimitive* primitive, uint32_t senderPid) = 0;

    // Takes ownership, also when the primitive is refused (it is then deleted).
    bool registerPrimitive(BasePrimitive* primitive);
    // The registered primitive of that kind, or null.
    BasePrimitive* getPrimitive(uint32_t primitiveId) const;
    // Takes ownership of the handler; a refused handler is deleted, one already listed stays listed once.
    void addListener(BasePrimitive* primitive, MessageHandler* handler);
    void removeListener(BasePrimitive* primitive);
    void notifyListeners(BasePrimitive* primitive, uint32_t senderPid);

    uint32_t getOwnPid() const { return ownPid; }
    // The primitive whose handlers are running, null otherwise: event listeners read the received
    // primitive here.
    BasePrimitive* getCurrentPrimitive() const { return currentPrimitive; }

  protected:
    // Lookups without the trace of getPrimitive, for primitives that are optional.
    BasePrimitive* findPrimitiveById(uint32_t primitiveId) const;
    BasePrimitive* findPrimitiveByMsgno(uint32_t msgno) const;
    // The common receive path: an unknown number is declined (false); a known one is size-checked,
    // fetched into its primitive and passed to dispatchPrimitive with the sender's mailbox (true).
    bool receivePrimitive(void* msg);
    // Whether msg holds needed bytes; otherwise one WARNING naming the message and both sizes.
    bool checkSize(const void* msg, const char* name, uint32_t msgno, uint64_t needed) const;
    // The same against a primitive's layout: its fixed part first, then what the message itself asks.
    bool checkSize(const void* msg, const BasePrimitive& primitive) const;
    static uint32_t getMsgno(const void* msg);

  private:
    PrimitiveListenerContainer* findContainer(const BasePrimitive* primitive) const;

    std::map<uint32_t, BasePrimitive*> primitivesById;
    std::map<uint32_t, std::unique_ptr<PrimitiveListenerContainer>> primitivesByMsgno;
    uint32_t ownPid;
    BasePrimitive* currentPrimitive = nullptr;
};

}  // namespace Sync

#endif
