#ifndef SYNC_IEPCSI_SERVICEENTITY_H
#define SYNC_IEPCSI_SERVICEENTITY_H

#include <cstdint>
#include <string>

#include "eventHandling/Event.h"
#include "eventHandling/IEntity.h"

namespace Sync {
namespace Iepcsi {

// A subscriber to port status: a port, or anything else that takes part in the subscription automaton
// of the port-control service handler. Its state there is kept on this entity.
class ServiceEntity : public IEntity {
  public:
    // Ask for the port's status subscription.
    struct IEPCSIENTITY_SUBSCRIBE_TO_SERVER_EVENT : Event<IEPCSIENTITY_SUBSCRIBE_TO_SERVER_EVENT> {};
    // End the subscription, for good.
    struct IEPCSIENTITY_UNSUBSCRIBE_TO_SERVER_EVENT : Event<IEPCSIENTITY_UNSUBSCRIBE_TO_SERVER_EVENT> {};
    // The server confirmed the subscription.
    struct IEPCSIENTITY_SUBSCRIBED_EVENT : Event<IEPCSIENTITY_SUBSCRIBED_EVENT> {};
    // The server went away; a subscribed entity starts over.
    struct IEPCSIENTITY_DOWN_NOTIFY : Event<IEPCSIENTITY_DOWN_NOTIFY> {};
    // The connection was (re)established; an entity still subscribing asks again.
    struct IEPCSIENTITY_INITIATED_NOTIFY : Event<IEPCSIENTITY_INITIATED_NOTIFY> {};

    ~ServiceEntity() override;

    // The procedureReference of the entity's subscription; 0 means none, and nothing is sent.
    virtual uint32_t getServiceEntityId() const = 0;
    // The port name sent in the subscription (cut to 15 characters on the wire).
    virtual std::string getServicePortName() const = 0;
    // The port role bit set sent in the subscription.
    virtual uint32_t getServicePortRole() const = 0;
    // Raises the event with this entity as its source.
    virtual void raiseEvent(PolymorphEvent& event);
    virtual void subscribeToServer();
    virtual void unsubscribeFromServer();

    void raiseEvent(PolymorphEvent&& event) { raiseEvent(event); }
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
