// The model's record of one Ethernet port that can carry a SyncE output. Every field is held twice:
// the current value and the value before that field's own last update, so the port's output can tell
// what an update changed. The port raises no events; the concrete port class adds the port-control
// subscription and calls the updates.
#ifndef SYNC_ETHCENTRAL_ETHERNETPORT_H
#define SYNC_ETHCENTRAL_ETHERNETPORT_H

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "eventHandling/DomainEntity.h"
#include "journal/EventJournal.h"
#include "model/port/EthernetData.h"

namespace Sync {
namespace EthCentral {

class EthernetPortLdnObserver;

class EthernetPort : public DomainEntity {
  public:
    // id: the port id handed out by the model.
    EthernetPort(IDomainEntityFactory* factory, uint32_t id);
    ~EthernetPort() override;
    EthernetPort(const EthernetPort&) = delete;
    EthernetPort& operator=(const EthernetPort&) = delete;

    // Called once by the model right after creation.
    void init(const std::string& ldn);

    void activate() override = 0;
    void deactivate() override = 0;
    virtual void setLdn(const std::string& ldn);
    virtual void updateEthernetConfiguration(const std::string& macAddress, const std::string& interfaceName,
                                             const std::string& tnportName, uint32_t rhaiId,
                                             uint32_t portType);
    virtual void updateEthernetEquipment(uint32_t masterSlaveMode, uint32_t sfpType, uint32_t linkSpeed,
                                         uint32_t duplexMode);
    virtual void updateNetworkNamespace(const std::string& networkNamespace);
    virtual void updateTransportIfAdminState(uint32_t state);
    virtual void updateTransportIfState(uint32_t operationalState,
                                        const std::set<uint32_t>& availabilityStatus);
    virtual void updateLagPortConfiguration(uint32_t isLag, const std::string& lagPortLdn);
    virtual void print() = 0;
    virtual uint32_t getRhaiId() const;
    virtual uint32_t getMasterSlaveMode() const;
    virtual uint32_t getPrevMasterSlaveMode() const;
    virtual uint32_t getPortType() const;
    virtual uint32_t getSfpType() const;
    virtual uint32_t getLinkSpeed() const;
    virtual uint32_t getPrevLinkSpeed() const;
    virtual uint32_t getDuplexMode() const;
    virtual uint32_t getPrevDuplexMode() const;
    virtual const std::string& getInterfaceName() const;
    virtual const std::string& getNetworkNamespace() const;
    virtual const std::string& getLdn() const;
    virtual const uint32_t& getAdministrativeState() const;
    virtual void getTransportIfState(uint32_t& operationalState,
                                     std::set<uint32_t>& availabilityStatus) const;
    virtual uint32_t getIsLag() const;
    virtual const std::string& getLagPortLdn() const;
    virtual bool isRhaiIdChanged() const;
    virtual bool isLagChanged() const;
    virtual bool isLagPortLdnChanged() const;

    // Every reported field as it stands, as the port printouts read them.
    const EthernetData& getEthernetData() const { return ethernetData_; }
    uint32_t getPrevPortType() const { return prevEthernetData_.portType; }
    uint32_t getPrevSfpType() const { return prevEthernetData_.sfpType; }
    const std::string& getMacAddress() const { return ethernetData_.macAddress; }
    const std::string& getTnportName() const { return ethernetData_.tnportName; }
    uint32_t getOperationalState() const { return ethernetData_.operationalState; }
    const std::set<uint32_t>& getAvailabilityStatus() const { return ethernetData_.availabilityStatus; }
    bool isSfpTypeChanged() const;
    bool isInterfaceNameChanged() const;
    bool isNetworkNamespaceChanged() const;

    // Observers are told after setLdn or updateEthernetConfiguration has changed what getLdn answers.
    // An observer is added once however often it is added.
    void addLdnObserver(EthernetPortLdnObserver* observer);
    void removeLdnObserver(EthernetPortLdnObserver* observer);

    // One journal entry about this port: "port <ldn> <what>", with its ldn, id and interface.
    void journal(EventJournal::Kind kind, const std::string& what) const;

  protected:
    // A subclass that changes what getLdn answers outside setLdn and updateEthernetConfiguration calls
    // this with the ldn answered before the change.
    void ldnMayHaveChanged(const std::string& previousLdn);
    bool hasLdnObservers() const { return !ldnObservers_.empty(); }

    EthernetData prevEthernetData_;
    EthernetData ethernetData_;

  private:
    std::vector<EthernetPortLdnObserver*> ldnObservers_;
};

}  // namespace EthCentral
}  // namespace Sync

#endif
