#ifndef SYNC_IEPCSI_SERVICEHANDLER_H
#define SYNC_IEPCSI_SERVICEHANDLER_H

#include <cstdint>
#include <map>

#include "common_fwk_classes/iepcsi/ClientIf.h"
#include "common_fwk_classes/iepcsi/ServiceEntity.h"
#include "control/CastTo.h"
#include "eventHandling/AutomatonBase.h"
#include "eventHandling/BaseServiceHandler.h"
#include "eventHandling/Event.h"
#include "eventHandling/Listener.h"

namespace Sync {

class BaseController;

namespace Iepcsi {

// The port-control client side of the daemon: owns the client interface, asks for the port list once
// the connection stands, and runs every port's status subscription (IepcsiPortSm).
//
// The events below carry no data and have this handler as source. A listener reads the message being
// handled with currentPrimitiveAs<P>(), valid while the listeners of that message run.
class ServiceHandler : public BaseServiceHandler {
  public:
    struct INIT_CFM_EVENT : Event<INIT_CFM_EVENT> {};
    struct GET_ETH_PORT_SUPPORT_CFM_EVENT : Event<GET_ETH_PORT_SUPPORT_CFM_EVENT> {};
    struct SUBSCRIBE_PORT_STATUS_CFM_EVENT : Event<SUBSCRIBE_PORT_STATUS_CFM_EVENT> {};
    struct ETH_PORT_STATUS_IND_EVENT : Event<ETH_PORT_STATUS_IND_EVENT> {};
    struct SERVER_DOWN_EVENT : Event<SERVER_DOWN_EVENT> {};

    // One state per ServiceEntity, keyed by this handler's id.
    class IepcsiPortSm : public AutomatonBase<ServiceHandler, ServiceEntity> {
      public:
        struct PORT_SUBSCRIBING_STATE : State<PORT_SUBSCRIBING_STATE> {};
        struct PORT_SUBSCRIBED_STATE : State<PORT_SUBSCRIBED_STATE> {};

        explicit IepcsiPortSm(ServiceHandler* owner) : AutomatonBase(owner) {}
        void defineTransitions() override;
    };

    ServiceHandler(uint32_t id, BaseController* controller);
    ~ServiceHandler() override;
    ServiceHandler(const ServiceHandler&) = delete;
    ServiceHandler& operator=(const ServiceHandler&) = delete;

    // Builds the client interface and registers it with the controller's dispatcher.
    void init() override;

    // Asks the server for the port list (after INIT_CFM).
    virtual void getEthPortSupport();
    // Actions of IepcsiPortSm; true unless a fault was traced.
    virtual bool subscribeToIepcsi(ServiceEntity* entity);
    virtual bool subscribeToIepcsiPortStatus(ServiceEntity* entity);
    virtual bool unsubscribeToIepcsi(ServiceEntity* entity);
    virtual bool unsubscribeToIepcsiPortStatus(ServiceEntity* entity);
    // Keeps the server's reference of a port's subscription, so that unsubscribing can name it. A port
    // keeps its first reference until it is unsubscribed or the server goes down.
    virtual void storeSubscriptionRef(uint32_t portId, uint32_t subscriptionReference);
    // Forgets every stored reference: the server that issued them is gone. Runs on SERVER_DOWN_EVENT.
    void clearSubscriptionRefs();

    // The registered client interface, or null before init or when its registration failed.
    ClientIf* getClientIf();
    // The message whose listeners are running, as its class; null when none is being handled. Another
    // class is a program fault and stops the process.
    template <class P>
    P* currentPrimitiveAs() {
        ClientIf* clientIf = getClientIf();
        return clientIf != nullptr ? castTo<P>(clientIf->getCurrentPrimitive()) : nullptr;
    }

    uint8_t getOwnId() const { return ownId_; }
    const std::map<uint32_t, uint32_t>& getStatePorts() const { return statePorts_; }

  private:
    class ServerDownListener : public Listener<SERVER_DOWN_EVENT> {
      public:
        explicit ServerDownListener(ServiceHandler* owner) : owner_(owner) {}
        void onEvent(SERVER_DOWN_EVENT& event) override;

      private:
        ServiceHandler* owner_;
    };

    uint32_t takenId_;
    uint8_t ownId_;
    std::map<uint32_t, uint32_t> statePorts_;  // port entity id -> subscription reference
    IepcsiPortSm iepcsiPortSm_;
    ServerDownListener serverDownListener_;
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
