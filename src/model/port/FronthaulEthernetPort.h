// A fronthaul Ethernet port: an Ethernet port of the SyncE model that is at the same time a
// port-control subscriber, so that activating it subscribes to its status and deactivating it
// unsubscribes. Its ldn and its transport-network port name are one text.
#ifndef SYNC_LUMOVCONTROL_FRONTHAULETHERNETPORT_H
#define SYNC_LUMOVCONTROL_FRONTHAULETHERNETPORT_H

#include <cstdint>
#include <string>

#include "common_fwk_classes/iepcsi/ServiceEntity.h"
#include "model/port/EthernetPort.h"

namespace Sync {
namespace LumovControl {

class FronthaulEthernetPort : public EthCentral::EthernetPort, public Iepcsi::ServiceEntity {
  public:
    // Told when the port's identifier on the port-control interface changes, so that lookups indexed
    // by it stay right.
    class IepcsiIdObserver {
      public:
        virtual void iepcsiIdChanged(FronthaulEthernetPort& port, uint32_t previousIepcsiId) = 0;

      protected:
        ~IepcsiIdObserver() = default;
    };

    // The only role bit a port keeps for its subscription.
    static constexpr uint32_t ROLE_MASK = 0x4;

    FronthaulEthernetPort(IDomainEntityFactory* factory, uint32_t id);
    ~FronthaulEthernetPort() override;

    // Subscribes to, or unsubscribes from, the port's status.
    void activate() override;
    void deactivate() override;
    // Sets the ldn and the transport-network port name.
    void setLdn(const std::string& ldn) override;
    void print() override;
    // The transport-network port name.
    const std::string& getLdn() const override;
    virtual uint32_t getIepcsiId() const;
    virtual uint32_t getIepcsiRole() const;

    void setIepcsiId(uint32_t id);
    // Keeps only the role bit of a fronthaul port.
    void setIepcsiRole(uint32_t role);
    void setIepcsiIdObserver(IepcsiIdObserver* observer) { iepcsiIdObserver_ = observer; }

    uint32_t getServiceEntityId() const override;
    std::string getServicePortName() const override;
    uint32_t getServicePortRole() const override;

    // Administratively unlocked and operationally enabled.
    bool isUp() const;

  private:
    uint32_t iepcsiId;
    uint32_t iepcsiRole;
    IepcsiIdObserver* iepcsiIdObserver_;
};

}  // namespace LumovControl
}  // namespace Sync

#endif
