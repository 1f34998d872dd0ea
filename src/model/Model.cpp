#include "model/Model.h"

#include <cstdlib>
#include <typeinfo>

#include "Macros.h"
#include "control/CastTo.h"
#include "eventHandling/FwkException.h"
#include "model/output/FronthaulSyncEthOutput.h"
#include "model/output/FronthaulSyncEthOutputFeature.h"

namespace Sync {
namespace LumovControl {

Model::FronthaulFeatureFactory::FronthaulFeatureFactory(Model* model) : model(model) {}

DomainEntity* Model::FronthaulFeatureFactory::createObject(uint32_t type) {
    TRACE_ENTER("type: %u", type);
    if (type != SYNCETH_OUTPUT) {
        TRACE_RETURN("%s", "no object");
        return nullptr;
    }
    DomainEntity* feature = new FronthaulSyncEthOutputFeature(this, type, model);
    TRACE_RETURN("feature: %p", static_cast<void*>(feature));
    return feature;
}

DomainEntity* Model::FronthaulEthernetPortFactory::createObject(uint32_t id) {
    TRACE_ENTER("id: %u", id);
    DomainEntity* port = new FronthaulEthernetPort(this, id);
    TRACE_RETURN("port: %p", static_cast<void*>(port));
    return port;
}

Model::Model() {
    TRACE_ENTER("%s", "");
    TRACE_RETURN("%s", "");
}

Model::~Model() {
    TRACE_ENTER("%s", "");
    TRACE_RETURN("%s", "");
}

void Model::init() {
    TRACE_ENTER("%s", "");
    featureFactory = createFeatureFactory();
    portFactory = createPortFactory();
    try {
        createAndRegisterFeature(SYNCETH_OUTPUT);
    } catch (const FwkException& exception) {
        TRACE_ERROR("SYNCETH_OUTPUT feature could not be created. Cause: %s. ==> Abort", exception.what());
        std::abort();
    }
    TRACE_RETURN("%s", "");
}

Model::FeatureFactory* Model::createFeatureFactory() {
    return new FronthaulFeatureFactory(this);
}

Model::EthernetPortFactory* Model::createPortFactory() {
    return new FronthaulEthernetPortFactory();
}

Model::FronthaulFeatureFactory* Model::getFeatureFactory() {
    if (featureFactory == nullptr) {
        TRACE_ERROR("%s", "Coding error: Model got no featureFactory! ==> Abort");
        std::abort();
    }
    auto* factory = dynamic_cast<FronthaulFeatureFactory*>(featureFactory);
    if (factory == nullptr) {
        TRACE_ERROR("%s",
                    "Coding error: Downcast from FeatureFactory to FronthaulFeatureFactory failed ==> Abort");
        std::abort();
    }
    return factory;
}

Model::FronthaulEthernetPortFactory* Model::getPortFactory() {
    if (portFactory == nullptr) {
        TRACE_ERROR("%s", "Coding error: Model got no portFactory! ==> Abort");
        std::abort();
    }
    auto* factory = dynamic_cast<FronthaulEthernetPortFactory*>(portFactory);
    if (factory == nullptr) {
        TRACE_ERROR(
            "%s", "Coding error: Downcast from PortFactory to FronthaulEthernetPortFactory failed ==> Abort");
        std::abort();
    }
    return factory;
}

FronthaulSyncEthOutputFeature* Model::fronthaulOutputFeature() {
    return dynamic_cast<FronthaulSyncEthOutputFeature*>(outputFeature());
}

std::vector<FronthaulEthernetPort*> Model::findEthernetPortsByIepcsiId(uint32_t iepcsiId) {
    std::vector<FronthaulEthernetPort*> ports;
    visitEthernetPortsByIepcsiId(iepcsiId, [&ports](FronthaulEthernetPort* port) {
        ports.push_back(port);
        return true;
    });
    return ports;
}

EthCentral::EthernetPort* Model::findEthernetPort(uint32_t portId) {
    TRACE_ENTER("portId: %u", portId);
    // Every port message looks its port up here: the first match is taken without collecting the rest.
    FronthaulEthernetPort* first = nullptr;
    visitEthernetPortsByIepcsiId(portId, [&first](FronthaulEthernetPort* port) {
        first = port;
        return false;
    });
    if (first == nullptr) {
        TRACE_RETURN("%s", "not found EthernetPort!");
        return nullptr;
    }
    TRACE_RETURN("EthernetPort: %p", static_cast<void*>(first));
    return first;
}

void Model::iepcsiIdChanged(FronthaulEthernetPort& port, uint32_t previousIepcsiId) {
    portsByIepcsiId_.erase({previousIepcsiId, port.getEntityId()});
    portsByIepcsiId_.insert({port.getIepcsiId(), port.getEntityId()});
}

FronthaulEthernetPort* Model::createPort(const std::string& tnPortName, uint32_t role) {
    TRACE_ENTER("tnPortName: %s, role: %u", tnPortName.c_str(), role);
    FronthaulEthernetPort* port = nullptr;
    if (EthCentral::EthernetPort* existing = findEthernetPortByEncapsulation(tnPortName)) {
        port = castTo<FronthaulEthernetPort>(existing);
    } else {
        try {
            port = createAndRegisterEthernetPort(tnPortName, role);
        } catch (const FwkException& exception) {
            TRACE_ERROR("Caught exception: %s", exception.what());
        }
    }
    TRACE_RETURN("%p", static_cast<void*>(port));
    return port;
}

FronthaulEthernetPort* Model::createAndRegisterEthernetPort(const std::string& tnPortName, uint32_t role) {
    TRACE_ENTER("tnPortName: %s", tnPortName.c_str());
    FronthaulEthernetPortFactory* factory = getPortFactory();
    const uint32_t id = portIdPool.createId();
    DomainEntity* entity = nullptr;
    try {
        entity = factory->create(id, NO_PARAM);
    } catch (const FwkException&) {
        portIdPool.releaseId(id);
        throw;
    }
    if (entity == nullptr) {
        castToFailed(entity, typeid(DomainEntity*).name(), typeid(FronthaulEthernetPort*).name());
    }
    auto* port = castTo<FronthaulEthernetPort>(entity);
    // Name and role first: registering the port sends its subscription, which carries both.
    port->init(tnPortName);
    port->setIepcsiId(id);
    port->setIepcsiRole(role);
    port->setIepcsiIdObserver(this);
    portsByIepcsiId_.insert({port->getIepcsiId(), id});
    factory->add(port);
    indexEthernetPort(port);
    port->journal(EventJournal::PORT_ADDED, "added");
    if (FronthaulSyncEthOutputFeature* feature = fronthaulOutputFeature()) {
        feature->createSyncEthOutput(port);
    }
    TRACE_RETURN("EthernetPort id: %u", id);
    return port;
}

FronthaulEthernetPort* Model::portOrNull(uint32_t portId) {
    EthCentral::EthernetPort* port = findEthernetPort(portId);
    return port != nullptr ? castTo<FronthaulEthernetPort>(port) : nullptr;
}

void Model::updatePortEthernetConfiguration(uint32_t portId, const std::string& macAddress,
                                            const std::string& interfaceName, const std::string& tnportName,
                                            uint32_t rhaiId, uint32_t portType) {
    TRACE_ENTER("tnportName: %s", tnportName.c_str());
    FronthaulEthernetPort* port = portOrNull(portId);
    if (port == nullptr) {
        TRACE_RETURN("%s", "Port not found");
        return;
    }
    port->updateEthernetConfiguration(macAddress, interfaceName, tnportName, rhaiId, portType);
    TRACE_RETURN("%s", "");
}

void Model::updatePortTransportIfNetworkNamespace(uint32_t portId, const std::string& networkNamespace) {
    TRACE_ENTER("portId: %u, networkNamespace: %s", portId, networkNamespace.c_str());
    FronthaulEthernetPort* port = portOrNull(portId);
    if (port == nullptr) {
        TRACE_RETURN("%s", "Port not found");
        return;
    }
    port->updateNetworkNamespace(networkNamespace);
    TRACE_RETURN("%s", "");
}

void Model::updatePortTransportIfAdminState(uint32_t portId, bool unlocked) {
    TRACE_ENTER("portId: %u, unlocked: %u", portId, unlocked ? 1u : 0u);
    FronthaulEthernetPort* port = portOrNull(portId);
    if (port == nullptr) {
        TRACE_RETURN("%s", "Port not found");
        return;
    }
    port->updateTransportIfAdminState(unlocked ? 1 : 0);
    TRACE_RETURN("%s", "");
}

void Model::updatePortTransportIfState(uint32_t portId, bool operEnabled,
                                       const std::set<uint32_t>& availabilityStatus) {
    TRACE_ENTER("portId: %u, operEnabled: %u", portId, operEnabled ? 1u : 0u);
    FronthaulEthernetPort* port = portOrNull(portId);
    if (port == nullptr) {
        TRACE_RETURN("%s", "Port not found");
        return;
    }
    port->updateTransportIfState(operEnabled ? 1 : 0, availabilityStatus);
    EthCentral::SyncEthOutput* output = findSyncEthOutputByPortId(portId);
    if (auto* fronthaulOutput = dynamic_cast<FronthaulSyncEthOutput*>(output)) {
        fronthaulOutput->notifyEthernetPortChanged();
    }
    TRACE_RETURN("%s", "");
}

void Model::notifyEthPortSubscribed(uint32_t portId) {
    TRACE_ENTER("portId: %u", portId);
    FronthaulEthernetPort* port = portOrNull(portId);
    if (port == nullptr) {
        TRACE_RETURN("%s", "Port not found");
        return;
    }
    static_cast<Iepcsi::ServiceEntity*>(port)->raiseEvent(
        Iepcsi::ServiceEntity::IEPCSIENTITY_SUBSCRIBED_EVENT());
    TRACE_RETURN("%s", "");
}

void Model::notifyOutputFeatureAboutEvent(PolymorphEvent& event) {
    TRACE_ENTER("event: %s", event.getName());
    FronthaulSyncEthOutputFeature* feature = fronthaulOutputFeature();
    if (feature == nullptr) {
        TRACE_RETURN("%s", "SYNCETH_OUTPUT feature not found");
        return;
    }
    static_cast<Iepcsi::ServiceEntity*>(feature)->raiseEvent(event);
    TRACE_RETURN("%s", "");
}

void Model::notifyPortsAboutEvent(PolymorphEvent& event) {
    TRACE_ENTER("event: %s", event.getName());
    FronthaulEthernetPortFactory* factory = getPortFactory();
    // Ports are never deleted, so the reactions cannot shorten the walk.
    for (uint32_t index = 0; index < factory->size(); ++index) {
        if (auto* port = dynamic_cast<FronthaulEthernetPort*>((*factory)[index])) {
            static_cast<Iepcsi::ServiceEntity*>(port)->raiseEvent(event);
        }
    }
    TRACE_RETURN("%s", "");
}

void Model::notifyIepcsiDown(PolymorphEvent& event) {
    TRACE_ENTER("event: %s", event.getName());
    notifyOutputFeatureAboutEvent(event);
    notifyPortsAboutEvent(event);
    TRACE_RETURN("%s", "");
}

}  // namespace LumovControl
}  // namespace Sync
