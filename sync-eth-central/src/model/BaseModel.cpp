#include "model/BaseModel.h"

#include <cstdlib>
#include <exception>
#include <typeinfo>

#include "Macros.h"
#include "common_fwk_classes/utilities/FeatureValues.h"
#include "control/CastTo.h"
#include "control/secli/ServiceHandler.h"
#include "eventHandling/FwkException.h"
#include "eventHandling/IDLE.h"
#include "model/input/SyncEthInput.h"
#include "model/input/SyncEthInputFeature.h"
#include "model/output/SyncEthOutput.h"
#include "model/output/SyncEthOutputFactory.h"
#include "model/output/SyncEthOutputFeature.h"
#include "model/port/EthernetPort.h"
#include "model/view/AbstractObject.h"
#include "utilities/coli_common.h"

namespace Sync {
namespace EthCentral {

namespace {

const char* boolText(bool value) {
    return value ? "true" : "false";
}

// What an input passes on of the extended QL TLV it receives, or the values of a chain that starts
// here when the input does not use what it receives.
BaseModel::ExtendedQlTlv extendedQlOf(const SyncEthInput& input) {
    if (!input.isOperational() || !input.isUsingReceivedQl()) {
        return BaseModel::ExtendedQlTlv{0, 3, 1, 0};
    }
    const SyncEthInput::ReceivedExtendedQl& received = input.getReceivedExtendedQl();
    const uint8_t partial = received.partialChain ? 2 : 0;
    return BaseModel::ExtendedQlTlv{std::strtoull(received.syncEMasterId.c_str(), nullptr, 16),
                                    static_cast<uint8_t>(received.flag + partial),
                                    static_cast<uint8_t>(received.numberCascadedEeec + 1),
                                    received.numberCascadedEec};
}

}  // namespace

BaseModel::FeatureFactory::FeatureFactory() : DomainEntityFactory(FACTORY_TYPE, MAX_FEATURES) {}

DomainEntity* BaseModel::FeatureFactory::createEntity(uint32_t entityId, uint32_t /*param*/) {
    return createObject(entityId);
}

BaseModel::EthernetPortFactory::EthernetPortFactory() : DomainEntityFactory(FACTORY_TYPE, MAX_PORTS) {}

DomainEntity* BaseModel::EthernetPortFactory::createEntity(uint32_t entityId, uint32_t /*param*/) {
    return createObject(entityId);
}

BaseModel::BaseModel() : featureFactory(nullptr), portFactory(nullptr) {
    TRACE_ENTER("%s", "");
    TRACE_RETURN("%s", "");
}

BaseModel::~BaseModel() {
    TRACE_ENTER("%s", "");
    // The outputs, owned by the features, are bound to the ports: features go first.
    delete featureFactory;
    featureFactory = nullptr;
    delete portFactory;
    portFactory = nullptr;
    TRACE_RETURN("%s", "");
}

void BaseModel::init() {
    TRACE_ENTER("%s", "");
    featureFactory = createFeatureFactory();
    portFactory = createPortFactory();
    try {
        createAndRegisterFeature(SYNCETH_INPUT);
        createAndRegisterFeature(SYNCETH_OUTPUT);
    } catch (const FwkException& exception) {
        TRACE_ERROR("All features could not be created. Cause: %s. ==> Abort", exception.what());
        std::abort();
    }
    TRACE_RETURN("%s", "");
}

void BaseModel::activate() {
    TRACE_ENTER("%s", "");
    TRACE_RETURN("%s", "");
}

void BaseModel::deactivate() {
    TRACE_ENTER("%s", "");
    TRACE_RETURN("%s", "");
}

SyncEthOutputFeature* BaseModel::outputFeature() {
    if (featureFactory == nullptr) {
        return nullptr;
    }
    return dynamic_cast<SyncEthOutputFeature*>(featureFactory->lookup(SYNCETH_OUTPUT));
}

SyncEthInputFeature* BaseModel::inputFeature() {
    if (featureFactory == nullptr) {
        return nullptr;
    }
    return dynamic_cast<SyncEthInputFeature*>(featureFactory->lookup(SYNCETH_INPUT));
}

DomainEntity* BaseModel::findFeature(uint32_t type) {
    TRACE_ENTER("type: %u", type);
    // Entity ids are unique in a factory, so the entry under the id is the first the walk would meet.
    DomainEntity* feature = featureFactory != nullptr ? featureFactory->lookup(type) : nullptr;
    if (feature == nullptr) {
        TRACE_RETURN("%s", "return NULL");
        return nullptr;
    }
    TRACE_RETURN("Found feature with type: %u", type);
    return feature;
}

void BaseModel::createAndRegisterFeature(uint32_t type) {
    TRACE_ENTER("type: %s", toChar(FeatureType(type)));
    FeatureFactory* factory = getFeatureFactory();
    DomainEntity* feature = factory->create(type, NO_PARAM);
    if (feature == nullptr) {
        castToFailed(feature, typeid(DomainEntity*).name(), typeid(FeatureType).name());
    }
    factory->add(feature);
    TRACE_RETURN("%s", "");
}

BaseModel::EthernetPortFactory* BaseModel::getPortFactory() {
    if (portFactory == nullptr) {
        TRACE_ERROR("%s", "Coding error: Model got no portFactory! ==> Abort");
        std::abort();
    }
    return portFactory;
}

EthernetPort* BaseModel::createPort(const std::string& ldn) {
    TRACE_ENTER("ldn: %s", ldn.c_str());
    EthernetPort* port = findEthernetPortByEncapsulation(ldn);
    if (port == nullptr) {
        try {
            port = createAndRegisterEthernetPort(ldn);
        } catch (const FwkException& exception) {
            TRACE_ERROR("Caught exception: %s", exception.what());
        }
    }
    TRACE_RETURN("%p", static_cast<void*>(port));
    return port;
}

EthernetPort* BaseModel::createAndRegisterEthernetPort(const std::string& ldn) {
    TRACE_ENTER("ldn: %s", ldn.c_str());
    EthernetPortFactory* factory = getPortFactory();
    const uint32_t id = portIdPool.createId();
    DomainEntity* entity = nullptr;
    try {
        entity = factory->create(id, NO_PARAM);
    } catch (const FwkException&) {
        portIdPool.releaseId(id);
        throw;
    }
    if (entity == nullptr) {
        castToFailed(entity, typeid(DomainEntity*).name(), typeid(EthernetPort*).name());
    }
    EthernetPort* port = castTo<EthernetPort>(entity);
    port->init(ldn);
    factory->add(port);
    indexEthernetPort(port);
    TRACE_RETURN("EthernetPort id: %u", id);
    return port;
}

bool BaseModel::createPort(AbstractObject* object) {
    TRACE_ENTER("object: %p", static_cast<void*>(object));
    if (object != nullptr && object->isInputObject()) {
        createPort(object->getLdn());
    }
    TRACE_RETURN("%s", "true");
    return true;
}

bool BaseModel::createOutput(EthernetPort* port) {
    TRACE_ENTER("port: %p", static_cast<void*>(port));
    if (SyncEthOutputFeature* feature = outputFeature()) {
        feature->createSyncEthOutput(port);
    }
    TRACE_RETURN("%s", "true");
    return true;
}

void BaseModel::createOutputs() {
    TRACE_ENTER("%s", "");
    EthernetPortFactory* factory = getPortFactory();
    for (uint32_t index = 0; index < factory->size(); ++index) {
        createOutput(castTo<EthernetPort>((*factory)[index]));
    }
    TRACE_RETURN("%s", "");
}

EthernetPort* BaseModel::findEthernetPort(uint32_t portId) {
    TRACE_ENTER("portId: %u", portId);
    EthernetPort* port = castTo<EthernetPort>(getPortFactory()->lookup(portId));
    if (port == nullptr) {
        TRACE_RETURN("%s", "not found EthernetPort!");
        return nullptr;
    }
    TRACE_RETURN("EthernetPort: %p", static_cast<void*>(port));
    return port;
}

EthernetPort* BaseModel::findEthernetPortByEncapsulation(const std::string& ldn) {
    TRACE_ENTER("encapsulation: %s", ldn.c_str());
    EthernetPort* port = lookupPortByLdn(ldn);
    if (port == nullptr) {
        TRACE_RETURN("%s", "not found EthernetPort!");
        return nullptr;
    }
    TRACE_RETURN("EthernetPort: %p", static_cast<void*>(port));
    return port;
}

void BaseModel::indexEthernetPort(EthernetPort* port) {
    portsByLdn_.insert({port->getLdn(), port->getEntityId()});
    port->addLdnObserver(this);
}

EthernetPort* BaseModel::lookupPortByLdn(const std::string& ldn) {
    if (portFactory == nullptr) {
        return nullptr;
    }
    // Entries are checked against the port's current ldn, so a stale entry is never taken.
    for (auto it = portsByLdn_.lower_bound({ldn, 0}); it != portsByLdn_.end() && it->first == ldn; ++it) {
        auto* port = dynamic_cast<EthernetPort*>(portFactory->lookup(it->second));
        if (port != nullptr && port->getLdn() == ldn) {
            return port;
        }
    }
    return nullptr;
}

void BaseModel::ethernetPortLdnChanged(EthernetPort& port, const std::string& previousLdn) {
    portsByLdn_.erase({previousLdn, port.getEntityId()});
    portsByLdn_.insert({port.getLdn(), port.getEntityId()});
}

SyncEthOutput* BaseModel::findSyncEthOutput(uint32_t entityId) {
    TRACE_ENTER("entityId: %u", entityId);
    SyncEthOutputFeature* feature = outputFeature();
    SyncEthOutput* output = feature != nullptr ? feature->findSyncEthOutput(entityId) : nullptr;
    TRACE_RETURN("output: %p", static_cast<void*>(output));
    return output;
}

SyncEthOutput* BaseModel::findSyncEthOutputByPortId(uint32_t portId) {
    TRACE_ENTER("portId: %u", portId);
    SyncEthOutputFeature* feature = outputFeature();
    SyncEthOutput* output = feature != nullptr ? feature->findSyncEthOutputByPortId(portId) : nullptr;
    TRACE_RETURN("output: %p", static_cast<void*>(output));
    return output;
}

SyncEthOutput* BaseModel::findSyncEthOutputByEncapsulation(const std::string& ldn) {
    TRACE_ENTER("encapsulation: %s", ldn.c_str());
    SyncEthOutputFeature* feature = outputFeature();
    SyncEthOutput* output = feature != nullptr ? feature->findSyncEthOutputByEncapsulation(ldn) : nullptr;
    TRACE_RETURN("output: %p", static_cast<void*>(output));
    return output;
}

SyncEthInput* BaseModel::findSyncEthInput(uint32_t entityId) {
    TRACE_ENTER("entityId: %u", entityId);
    SyncEthInputFeature* feature = inputFeature();
    SyncEthInput* input = feature != nullptr ? feature->findSyncEthInput(entityId) : nullptr;
    TRACE_RETURN("input: %p", static_cast<void*>(input));
    return input;
}

void BaseModel::notifySciInitiated() {
    TRACE_ENTER("%s", "");
    SyncEthOutputFeature* output = outputFeature();
    if (output == nullptr) {
        TRACE_RETURN("%s", "SYNCETH_OUTPUT feature not found");
        return;
    }
    output->subscribeSciInfo();
    SyncEthInputFeature* input = inputFeature();
    if (input == nullptr) {
        TRACE_RETURN("%s", "SYNCETH_INPUT feature not found");
        return;
    }
    input->subscribeSciInfo();
    TRACE_RETURN("%s", "");
}

bool BaseModel::notifyRecCreateInd() {
    TRACE_ENTER("%s", "");
    if (SyncEthInputFeature* input = inputFeature()) {
        input->updateRecCreate();
    }
    if (SyncEthOutputFeature* output = outputFeature()) {
        output->updateRecCreate();
    }
    createOutputs();
    TRACE_RETURN("%s", "true");
    return true;
}

bool BaseModel::notifyRecDeleteInd() {
    TRACE_ENTER("%s", "");
    if (SyncEthInputFeature* input = inputFeature()) {
        input->updateRecDelete();
    }
    if (SyncEthOutputFeature* output = outputFeature()) {
        output->updateRecDelete();
        output->deleteSyncEthOutputs();
    }
    TRACE_RETURN("%s", "true");
    return true;
}

bool BaseModel::notifyRecSelectionProcessModeInd(uint32_t selectionProcessMode) {
    TRACE_ENTER("selectionProcessMode: %u", selectionProcessMode);
    if (SyncEthInputFeature* input = inputFeature()) {
        input->updateSelectionProcessMode(selectionProcessMode);
    }
    if (SyncEthOutputFeature* output = outputFeature()) {
        output->updateSelectionProcessMode(selectionProcessMode);
    }
    TRACE_RETURN("%s", "true");
    return true;
}

bool BaseModel::notifyOutputRecClockSettledQualityInd(uint32_t clockSettledQuality) {
    TRACE_ENTER("clockSettledQuality: %u", clockSettledQuality);
    if (SyncEthOutputFeature* output = outputFeature()) {
        output->updateClockSettledQuality(clockSettledQuality);
    }
    TRACE_RETURN("%s", "true");
    return true;
}

bool BaseModel::notifyOutputTelecomStandardInd(uint32_t telecomStandard) {
    TRACE_ENTER("telecomStandard: %u", telecomStandard);
    if (SyncEthOutputFeature* output = outputFeature()) {
        output->updateTelecomStandard(telecomStandard);
    }
    if (SyncEthInputFeature* input = inputFeature()) {
        input->updateTelecomStandard(telecomStandard);
    }
    TRACE_RETURN("%s", "true");
    return true;
}

bool BaseModel::notifySelectedReferenceInd(uint32_t selectedReference,
                                           const std::string& selectedReferenceLdn) {
    TRACE_ENTER("selectedReference: %u, selectedReferenceLdn: %s", selectedReference,
                selectedReferenceLdn.c_str());
    // Only an input can tell on which port the reference arrives; without inputs nothing changes.
    if (SyncEthInputFeature* input = inputFeature()) {
        std::string portLdn;
        SyncEthInput* reserved = input->findSyncEthInputByReservedBy(selectedReferenceLdn);
        if (reserved != nullptr && reserved->getEthernetPort() != nullptr) {
            portLdn = reserved->getEthernetPort()->getLdn();
        }
        updateActiveReference(selectedReference, selectedReferenceLdn, portLdn);
        updateExtendedQlTlvInfoBySelectedReference(selectedReferenceLdn);
    }
    TRACE_RETURN("%s", "true");
    return true;
}

void BaseModel::updateActiveReference(uint32_t selectedReference, const std::string& selectedReferenceLdn,
                                      const std::string& portOfActiveReference) {
    TRACE_ENTER("selectedReference: %u, selectedReferenceLdn: %s, portOfActiveReference: %s",
                selectedReference, selectedReferenceLdn.c_str(), portOfActiveReference.c_str());
    if (SyncEthInputFeature* input = inputFeature()) {
        input->updateActiveReference(selectedReference, selectedReferenceLdn);
    }
    if (SyncEthOutputFeature* output = outputFeature()) {
        output->updateActiveReference(selectedReferenceLdn, portOfActiveReference);
    }
    TRACE_RETURN("%s", "");
}

bool BaseModel::notifyRecrUseQLFrom(const std::string& referenceLdn, uint32_t useQLFrom) {
    TRACE_ENTER("referenceLdn: %s, useQLFrom: %u", referenceLdn.c_str(), useQLFrom);
    SyncEthInputFeature* feature = inputFeature();
    if (!referenceLdn.empty() && feature != nullptr) {
        if (SyncEthInput* input = feature->findSyncEthInputByReservedBy(referenceLdn)) {
            input->setUseQLFrom(useQLFrom);
            updateExtendedQlTlvInfoBySyncEthInput(input);
        }
    }
    TRACE_RETURN("%s", "true");
    return true;
}

bool BaseModel::notifyRecrConfigInd(const std::string& referenceLdn, uint32_t value1, uint32_t value2) {
    TRACE_ENTER("referenceLdn: %s, value1: %u, value2: %u", referenceLdn.c_str(), value1, value2);
    SyncEthInputFeature* feature = inputFeature();
    if (feature != nullptr) {
        SyncEthInput* input = feature->findSyncEthInputByReservedBy(referenceLdn);
        if (input == nullptr) {
            TRACE_INFO("%s", "SyncEthInput not found");
            TRACE_RETURN("%s", "false");
            return false;
        }
        input->setRecrConfig(value1, value2);
    }
    TRACE_RETURN("%s", "true");
    return true;
}

bool BaseModel::notifyOutputConfigCreateRcfm(uint32_t entityId) {
    TRACE_ENTER("entityId: %u", entityId);
    if (SyncEthOutput* output = findSyncEthOutput(entityId)) {
        output->notifyInitialData();
    }
    TRACE_RETURN("%s", "true");
    return true;
}

bool BaseModel::notifyOutputConfigChangeRcfm(uint32_t entityId) {
    TRACE_ENTER("entityId: %u", entityId);
    if (SyncEthOutput* output = findSyncEthOutput(entityId)) {
        output->notifyInitialData();
    }
    TRACE_RETURN("%s", "true");
    return true;
}

bool BaseModel::notifyOutputMacAddressFwd(const uint8_t* macAddress) {
    TRACE_ENTER("macAddress: %p", static_cast<const void*>(macAddress));
    if (SyncEthOutputFeature* output = outputFeature()) {
        output->setMySyncEMasterId(macAddress);
    }
    TRACE_RETURN("%s", "true");
    return true;
}

void BaseModel::notifySyncEthOutputsAboutEvent(PolymorphEvent& event) {
    TRACE_ENTER("%s", "");
    if (SyncEthOutputFeature* output = outputFeature()) {
        output->notifySyncEthOutputsAboutEvent(event);
    }
    TRACE_RETURN("%s", "");
}

void BaseModel::notifySyncEthInputsAboutEvent(PolymorphEvent& event) {
    TRACE_ENTER("%s", "");
    if (SyncEthInputFeature* input = inputFeature()) {
        input->notifySyncEthInputsAboutEvent(event);
    }
    TRACE_RETURN("%s", "");
}

void BaseModel::notifySecliClientUp(uint32_t secliAutomatonKey) {
    TRACE_ENTER("secliAutomatonKey: %u", secliAutomatonKey);
    using SecliHandler = Secli::ServiceHandler;
    if (SyncEthOutputFeature* feature = outputFeature()) {
        SyncEthOutputFeature::SyncEthOutputFactory& factory = *feature->myFactory();
        // The reactions send to the client; none of them creates or deletes outputs.
        for (uint32_t index = 0; index < factory.size(); ++index) {
            auto* output = castTo<SyncEthOutput>(factory[index]);
            if (output->isInState<SecliHandler::EthOutputSm::ETHOUTPUT_OPERATING>(secliAutomatonKey) ||
                (output->isInState<IDLE>(secliAutomatonKey) && output->isReadyForSecli())) {
                output->sendEvent(SecliHandler::NOTIFY_SECLI_CLIENT_UP_EVENT());
            }
        }
    }
    SecliHandler::NOTIFY_SECLI_CLIENT_UP_EVENT event;
    notifySyncEthInputsAboutEvent(event);
    TRACE_RETURN("%s", "");
}

void BaseModel::notifySecliClientDown() {
    TRACE_ENTER("%s", "");
    Secli::ServiceHandler::NOTIFY_SECLI_CLIENT_DOWN_EVENT event;
    notifySyncEthOutputsAboutEvent(event);
    notifySyncEthInputsAboutEvent(event);
    TRACE_RETURN("%s", "");
}

bool BaseModel::notifyInputDefectFwd(uint32_t entityId, uint32_t defects) {
    TRACE_ENTER("entityId: %u, defects: 0x%08X", entityId, defects);
    findSyncEthInput(entityId);
    TRACE_RETURN("%s", "true");
    return true;
}

bool BaseModel::notifyInputReceivedSsmFwd(uint32_t entityId, uint32_t ssmCode, uint32_t tcuDetected) {
    TRACE_ENTER("entityId: %u, ssmCode: %u, tcuDetected: %u", entityId, ssmCode, tcuDetected);
    findSyncEthInput(entityId);
    TRACE_RETURN("%s", "true");
    return true;
}

bool BaseModel::notifyInputReceivedExtendedQlTlvFwd(uint32_t entityId, const ExtendedQlTlv& extendedQl) {
    TRACE_ENTER("entityId: %u, syncEMasterId: 0x%016lx", entityId,
                static_cast<unsigned long>(extendedQl.syncEMasterId));
    findSyncEthInput(entityId);
    TRACE_RETURN("%s", "true");
    return true;
}

bool BaseModel::notifySrsQualityLevelIndication(uint32_t entityId) {
    TRACE_ENTER("entityId: %u", entityId);
    if (findSyncEthInput(entityId) == nullptr) {
        TRACE_ERROR("SyncEthInput not found: %u", entityId);
        TRACE_RETURN("%s", "false");
        return false;
    }
    TRACE_RETURN("%s", "true");
    return true;
}

bool BaseModel::notifySrsAssistDataFwd(uint32_t entityId, int32_t timeOffset_c, int32_t timeOffset_f,
                                       bool isValidTimer) {
    TRACE_ENTER("entityId: %u, timeOffset_c: %d, timeOffset_f: %d, isValidTimer: %s", entityId, timeOffset_c,
                timeOffset_f, boolText(isValidTimer));
    if (findSyncEthInput(entityId) == nullptr) {
        TRACE_ERROR("SyncEthInput not found: %u", entityId);
        TRACE_RETURN("%s", "false");
        return false;
    }
    TRACE_RETURN("%s", "true");
    return true;
}

bool BaseModel::createObject(AbstractObject* object) {
    TRACE_ENTER("object: %p", static_cast<void*>(object));
    if (object == nullptr) {
        TRACE_RETURN("%s", "false");
        return false;
    }
    bool result = object->getResult();
    try {
        if (SyncEthInputFeature* feature = inputFeature()) {
            result = feature->createObject(object);
            updatePortInSyncEthInput(feature->findSyncEthInputByReservedBy(object->getLdn()));
        }
    } catch (const std::exception& exception) {
        TRACE_ERROR("Caught exception: %s", exception.what());
        result = object->getResult();
    }
    TRACE_RETURN("%s", boolText(result));
    return result;
}

bool BaseModel::deleteObject(AbstractObject* object) {
    TRACE_ENTER("object: %p", static_cast<void*>(object));
    const bool result = routeObjectRequest(object, &SyncEthInputFeature::deleteObject);
    TRACE_RETURN("%s", boolText(result));
    return result;
}

bool BaseModel::getObject(AbstractObject* object) {
    TRACE_ENTER("object: %p", static_cast<void*>(object));
    const bool result = routeObjectRequest(object, &SyncEthInputFeature::getObject);
    TRACE_RETURN("%s", boolText(result));
    return result;
}

bool BaseModel::setObject(AbstractObject* object) {
    TRACE_ENTER("object: %p", static_cast<void*>(object));
    const bool result = routeObjectRequest(object, &SyncEthInputFeature::setObject);
    TRACE_RETURN("%s", boolText(result));
    return result;
}

bool BaseModel::routeObjectRequest(AbstractObject* object,
                                   bool (SyncEthInputFeature::*request)(AbstractObject*)) {
    if (object == nullptr) {
        return false;
    }
    SyncEthInputFeature* feature = inputFeature();
    return feature != nullptr ? (feature->*request)(object) : object->getResult();
}

void BaseModel::updatePortInSyncEthInput(SyncEthInput* input) {
    TRACE_ENTER("input: %p", static_cast<void*>(input));
    if (input != nullptr) {
        if (EthernetPort* port = lookupPortByLdn(input->getRhaiLdn())) {
            input->setEthernetPort(port);
        }
    }
    TRACE_RETURN("%s", "");
}

void BaseModel::updateExtendedQlTlvInfoBySelectedReference(const std::string& selectedReferenceLdn) {
    TRACE_ENTER("selectedReferenceLdn: %s", selectedReferenceLdn.c_str());
    SyncEthOutputFeature* output = outputFeature();
    SyncEthInputFeature* input = inputFeature();
    if (output == nullptr) {
        TRACE_RETURN("%s", "SYNCETH_OUTPUT feature not found");
        return;
    }
    if (selectedReferenceLdn.empty()) {
        output->updateExtendedQlTlvInfoByBrokenAndInit(false);
    } else if (input != nullptr) {
        if (SyncEthInput* reserved = input->findSyncEthInputByReservedBy(selectedReferenceLdn)) {
            updateExtendedQlTlvInfoBySyncEthInput(reserved);
        } else {
            output->updateExtendedQlTlvInfoByBrokenAndInit(true);
        }
    }
    TRACE_RETURN("%s", "");
}

void BaseModel::updateExtendedQlTlvInfoBySyncEthInput(SyncEthInput* input) {
    TRACE_ENTER("input: %p", static_cast<void*>(input));
    SyncEthOutputFeature* output = outputFeature();
    if (input != nullptr && output != nullptr) {
        const ExtendedQlTlv tlv = extendedQlOf(*input);
        output->updateExtendedQlTlvInfo(tlv.syncEMasterId, tlv.flag, tlv.numberCascadedEnhancedEec,
                                        tlv.numberCascadedEec);
    }
    TRACE_RETURN("%s", "");
}

bool BaseModel::isSelectedReference(const std::string& reservedBy) {
    SyncEthOutputFeature* output = outputFeature();
    const bool result = !reservedBy.empty() && output != nullptr && reservedBy == output->getSelectedRef();
    TRACE_RETURN("%s", boolText(result));
    return result;
}

void BaseModel::printFeatureInfo() {
    TRACE_ENTER("%s", "");
    if (SyncEthInputFeature* input = inputFeature()) {
        input->printFeatureInfo();
    }
    if (SyncEthOutputFeature* output = outputFeature()) {
        output->printFeatureInfo();
    }
    TRACE_RETURN("%s", "");
}

void BaseModel::printInputs() {
    TRACE_ENTER("%s", "");
    if (SyncEthInputFeature* input = inputFeature()) {
        input->printInputs();
    }
    TRACE_RETURN("%s", "");
}

void BaseModel::printOutputs() {
    TRACE_ENTER("%s", "");
    if (SyncEthOutputFeature* output = outputFeature()) {
        output->printOutputs();
    }
    TRACE_RETURN("%s", "");
}

void BaseModel::printEthernetPorts() {
    TRACE_ENTER("%s", "");
    EthernetPortFactory* factory = getPortFactory();
    COLII("%s", "****************** Subscribing EthernetPort MO ******************");
    COLII(" #Total subscribing EthernetPort MO: %zu", static_cast<size_t>(factory->size()));
    COLII("%s", "");
    for (DomainEntity* entity : *factory) {
        castTo<EthernetPort>(entity)->print();
    }
    TRACE_RETURN("%s", "");
}

}  // namespace EthCentral
}  // namespace Sync
