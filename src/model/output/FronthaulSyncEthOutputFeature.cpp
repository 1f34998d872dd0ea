#include "model/output/FronthaulSyncEthOutputFeature.h"

#include <cstdlib>

#include "Macros.h"
#include "control/CastTo.h"
#include "model/Model.h"
#include "model/output/FronthaulSyncEthOutput.h"
#include "model/port/FronthaulEthernetPort.h"
#include "utilities/coli_common.h"

namespace Sync {
namespace LumovControl {

namespace {

// The port of an output, which in this daemon is always a fronthaul port.
FronthaulEthernetPort* fronthaulPortOf(DomainEntity* entity) {
    auto* output = castTo<FronthaulSyncEthOutput>(entity);
    return castTo<FronthaulEthernetPort>(output->getEthernetPort());
}

}  // namespace

FronthaulSyncEthOutputFeature::FronthaulSyncEthOutputFactory::FronthaulSyncEthOutputFactory(
    uint32_t maxEntities)
    : SyncEthOutputFactory(maxEntities) {}

DomainEntity* FronthaulSyncEthOutputFeature::FronthaulSyncEthOutputFactory::createObject(
    uint32_t id, uint32_t parentType) {
    TRACE_ENTER("id: %u, parentType: %u", id, parentType);
    if (parentType != OUTPUT_PARENT_TYPE) {
        TRACE_RETURN("%s", "no object");
        return nullptr;
    }
    DomainEntity* output = new FronthaulSyncEthOutput(this, id);
    TRACE_RETURN("output: %p", static_cast<void*>(output));
    return output;
}

FronthaulSyncEthOutputFeature::FronthaulSyncEthOutputFeature(IDomainEntityFactory* factory, uint32_t id,
                                                             Model* model)
    : SyncEthOutputFeature(factory, id), model_(model) {
    TRACE_ENTER("id: %u", id);
    TRACE_RETURN("%s", "");
}

FronthaulSyncEthOutputFeature::~FronthaulSyncEthOutputFeature() = default;

void FronthaulSyncEthOutputFeature::activate() {
    TRACE_ENTER("id: %u", entityId);
    syncEthOutputFactory_ = std::make_unique<FronthaulSyncEthOutputFactory>(MAX_OUTPUTS);
    Iepcsi::ServiceEntity::subscribeToServer();
    TRACE_RETURN("%s", "");
}

void FronthaulSyncEthOutputFeature::deactivate() {
    TRACE_ENTER("id: %u", entityId);
    Iepcsi::ServiceEntity::unsubscribeFromServer();
    TRACE_RETURN("%s", "");
}

FronthaulSyncEthOutputFeature::FronthaulSyncEthOutputFactory* FronthaulSyncEthOutputFeature::myFactory() {
    auto* factory = dynamic_cast<FronthaulSyncEthOutputFactory*>(syncEthOutputFactory_.get());
    if (factory == nullptr) {
        TRACE_ERROR(
            "%s",
            "Coding error: Downcast from SyncEthOutputFactory to FronthaulSyncEthOutputFactory failed ==> "
            "Abort");
        std::abort();
    }
    return factory;
}

EthCentral::SyncEthOutput* FronthaulSyncEthOutputFeature::findSyncEthOutputByPortId(uint32_t portId) {
    TRACE_ENTER("portId: %u", portId);
    EthCentral::SyncEthOutput* output = model_ != nullptr ? lookupByIepcsiId(portId) : walkForPortId(portId);
    TRACE_RETURN("%s",
                 output != nullptr ? "Found FronthaulSyncEthOutput" : "Not found FronthaulSyncEthOutput");
    return output;
}

EthCentral::SyncEthOutput* FronthaulSyncEthOutputFeature::walkForPortId(uint32_t portId) {
    for (DomainEntity* entity : *myFactory()) {
        if (fronthaulPortOf(entity)->getIepcsiId() == portId) {
            return castTo<EthCentral::SyncEthOutput>(entity);
        }
    }
    return nullptr;
}

EthCentral::SyncEthOutput* FronthaulSyncEthOutputFeature::lookupByIepcsiId(uint32_t portId) {
    // The walk would stop at the lowest output id among the outputs of every port with that id; each
    // port's own first output comes from the index by port entity id.
    EthCentral::SyncEthOutput* first = nullptr;
    model_->visitEthernetPortsByIepcsiId(portId, [this, &first](FronthaulEthernetPort* port) {
        EthCentral::SyncEthOutput* output =
            SyncEthOutputFeature::findSyncEthOutputByPortId(port->getEntityId());
        if (output != nullptr && (first == nullptr || output->getEntityId() < first->getEntityId())) {
            first = output;
        }
        return true;
    });
    if (first != nullptr) {
        castTo<FronthaulSyncEthOutput>(first);
    }
    return first;
}

void FronthaulSyncEthOutputFeature::printOutputs() {
    TRACE_ENTER("%s", "");
    FronthaulSyncEthOutputFactory* factory = myFactory();
    COLII("%s", "************************* SyncEthOutput *************************");
    COLII(" #Total SyncEthOutput: %zu", static_cast<size_t>(factory->size()));
    if (factory->size() == 0) {
        TRACE_RETURN("%s", "");
        return;
    }
    COLII("%s", " #Displaying only active output(s): ");
    COLII("%s", "");
    for (DomainEntity* entity : *factory) {
        castTo<EthCentral::SyncEthOutput>(entity)->print();
    }
    TRACE_RETURN("%s", "");
}

uint32_t FronthaulSyncEthOutputFeature::getServiceEntityId() const {
    return entityId;
}

std::string FronthaulSyncEthOutputFeature::getServicePortName() const {
    return subscriptionPortName;
}

uint32_t FronthaulSyncEthOutputFeature::getServicePortRole() const {
    return 0;
}

}  // namespace LumovControl
}  // namespace Sync
