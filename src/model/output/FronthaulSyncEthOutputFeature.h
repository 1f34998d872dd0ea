// The SyncE output feature of the fronthaul daemon: makes fronthaul outputs, finds them by the
// port-control identifier of their port, prints only the active ones, and takes part in the
// port-control subscription machinery.
#ifndef SYNC_LUMOVCONTROL_FRONTHAULSYNCETHOUTPUTFEATURE_H
#define SYNC_LUMOVCONTROL_FRONTHAULSYNCETHOUTPUTFEATURE_H

#include <cstdint>
#include <string>

#include "common_fwk_classes/iepcsi/ServiceEntity.h"
#include "model/output/SyncEthOutputFactory.h"
#include "model/output/SyncEthOutputFeature.h"

namespace Sync {
namespace LumovControl {

class Model;

class FronthaulSyncEthOutputFeature : public EthCentral::SyncEthOutputFeature, public Iepcsi::ServiceEntity {
  public:
    // Makes fronthaul outputs, at most maxEntities.
    class FronthaulSyncEthOutputFactory : public SyncEthOutputFactory {
      public:
        explicit FronthaulSyncEthOutputFactory(uint32_t maxEntities);
        DomainEntity* createObject(uint32_t id, uint32_t parentType) override;
    };

    static constexpr uint32_t MAX_OUTPUTS = 65535;

    // model: the model whose ports the outputs are bound to; it answers which ports carry a given
    // port-control id. Without one, lookups by that id walk the outputs.
    FronthaulSyncEthOutputFeature(IDomainEntityFactory* factory, uint32_t id, Model* model = nullptr);
    ~FronthaulSyncEthOutputFeature() override;

    // Creates the output factory, then asks for the port-status subscription.
    void activate() override;
    void deactivate() override;
    FronthaulSyncEthOutputFactory* myFactory() override;
    // The first output, in index order, whose port has iepcsiId portId; null when none has.
    EthCentral::SyncEthOutput* findSyncEthOutputByPortId(uint32_t portId) override;
    void printOutputs() override;

    uint32_t getServiceEntityId() const override;
    std::string getServicePortName() const override;
    uint32_t getServicePortRole() const override;

  private:
    EthCentral::SyncEthOutput* walkForPortId(uint32_t portId);
    EthCentral::SyncEthOutput* lookupByIepcsiId(uint32_t portId);

    Model* model_;
    std::string subscriptionPortName;
};

}  // namespace LumovControl
}  // namespace Sync

#endif
