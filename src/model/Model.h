// The daemon's SyncE model: supplies the two factories, creates only the SyncE output feature,
// creates the fronthaul ports the port-control service reports, keeps their transport state up to
// date and fans port-control events out to the output feature and the ports.
//
// Ports are found by their port-control id through an index kept beside the port factory; a lookup
// answers the port that a walk of the factory in index order would find first.
#ifndef SYNC_LUMOVCONTROL_MODEL_H
#define SYNC_LUMOVCONTROL_MODEL_H

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "control/CastTo.h"
#include "model/BaseModel.h"
#include "model/port/FronthaulEthernetPort.h"

namespace Sync {
namespace LumovControl {

class FronthaulSyncEthOutputFeature;

class Model : public EthCentral::BaseModel, private FronthaulEthernetPort::IepcsiIdObserver {
  public:
    // Makes the fronthaul output feature, and nothing else.
    class FronthaulFeatureFactory : public FeatureFactory {
      public:
        explicit FronthaulFeatureFactory(Model* model);
        DomainEntity* createObject(uint32_t type) override;

      private:
        Model* model;
    };

    // Makes fronthaul ports.
    class FronthaulEthernetPortFactory : public EthernetPortFactory {
      public:
        DomainEntity* createObject(uint32_t id) override;
    };

    Model();
    ~Model() override;

    // Creates the factories and the output feature; a refused feature stops the process.
    void init() override;
    FronthaulFeatureFactory* getFeatureFactory() override;
    FronthaulEthernetPortFactory* getPortFactory() override;
    FeatureFactory* createFeatureFactory() override;
    EthernetPortFactory* createPortFactory() override;
    // The first port, in index order, whose port-control id is portId; null when none is.
    EthCentral::EthernetPort* findEthernetPort(uint32_t portId) override;

    using BaseModel::createAndRegisterEthernetPort;
    using BaseModel::createPort;
    // The port named tnPortName, reused unchanged when it exists, else created, registered (which
    // subscribes it) and given its output. Null, with the factory's reason traced, when refused.
    FronthaulEthernetPort* createPort(const std::string& tnPortName, uint32_t role);
    // Throws FwkException when the port factory refuses the port.
    FronthaulEthernetPort* createAndRegisterEthernetPort(const std::string& tnPortName, uint32_t role);

    void updatePortEthernetConfiguration(uint32_t portId, const std::string& macAddress,
                                         const std::string& interfaceName, const std::string& tnportName,
                                         uint32_t rhaiId, uint32_t portType);
    void updatePortTransportIfNetworkNamespace(uint32_t portId, const std::string& networkNamespace);
    void updatePortTransportIfAdminState(uint32_t portId, bool unlocked);
    void updatePortTransportIfState(uint32_t portId, bool operEnabled,
                                    const std::set<uint32_t>& availabilityStatus);
    void notifyEthPortSubscribed(uint32_t portId);
    // Raises the event on the output feature, as port-control subscriber.
    void notifyOutputFeatureAboutEvent(PolymorphEvent& event);
    // Raises the event on every port, in index order, as port-control subscriber.
    void notifyPortsAboutEvent(PolymorphEvent& event);
    void notifyIepcsiDown(PolymorphEvent& event);

    // Every port whose port-control id is iepcsiId, in index order.
    std::vector<FronthaulEthernetPort*> findEthernetPortsByIepcsiId(uint32_t iepcsiId);
    // The same ports handed to visit one by one, without collecting them; visit returns false to stop.
    template <class Visit>
    void visitEthernetPortsByIepcsiId(uint32_t iepcsiId, Visit visit);
    FronthaulSyncEthOutputFeature* fronthaulOutputFeature();

  private:
    void iepcsiIdChanged(FronthaulEthernetPort& port, uint32_t previousIepcsiId) override;
    FronthaulEthernetPort* portOrNull(uint32_t portId);

    std::set<std::pair<uint32_t, uint32_t>> portsByIepcsiId_;  // (iepcsiId, port entity id)
};

template <class Visit>
void Model::visitEthernetPortsByIepcsiId(uint32_t iepcsiId, Visit visit) {
    if (portFactory == nullptr) {
        return;
    }
    // Entries are checked against the port's current id, so a stale entry is never taken.
    for (auto it = portsByIepcsiId_.lower_bound({iepcsiId, 0});
         it != portsByIepcsiId_.end() && it->first == iepcsiId; ++it) {
        DomainEntity* entity = portFactory->lookup(it->second);
        if (entity == nullptr) {
            continue;
        }
        auto* port = castTo<FronthaulEthernetPort>(entity);
        if (port->getIepcsiId() == iepcsiId && !visit(port)) {
            return;
        }
    }
}

}  // namespace LumovControl
}  // namespace Sync

#endif
