#include "model/output/SyncEthOutputFeature.h"

#include <cstdlib>
#include <ctime>
#include <typeinfo>

#include "Macros.h"
#include "common_fwk_classes/utilities/FeatureValues.h"
#include "common_fwk_classes/utilities/QualityLevel.h"
#include "control/CastTo.h"
#include "journal/EventJournal.h"
#include "model/output/SyncEthOutput.h"
#include "model/output/SyncEthOutputFactory.h"
#include "model/port/EthernetData.h"
#include "model/port/EthernetPort.h"
#include "utilities/coli_common.h"

namespace Sync {
namespace EthCentral {

namespace {

constexpr const char* DASH_LINE = " ----------------------------------------------------------------";

// "EPRTC (20)": a quality level as the journal names it.
std::string qualityText(uint32_t quality) {
    return std::string(toChar(ClockQuality(quality))) + " (" + std::to_string(quality) + ")";
}

// The first position whose entity id is above id, by bisection over the factory's index order.
uint32_t positionAfter(DomainEntityFactory& factory, uint32_t id) {
    uint32_t low = 0;
    uint32_t high = factory.size();
    while (low < high) {
        const uint32_t mid = low + (high - low) / 2;
        if (factory[mid]->getEntityId() <= id) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return low;
}

// Calls visit on every output of the factory in index order. Outputs created or deleted by the
// reactions to a visit are taken into account: the walk goes on after the id it last visited.
template <class Visit>
void forEachOutput(DomainEntityFactory& factory, Visit visit) {
    uint32_t position = 0;
    while (position < factory.size()) {
        DomainEntity* entity = factory[position];
        const uint32_t id = entity->getEntityId();
        visit(*castTo<SyncEthOutput>(entity));
        if (position < factory.size() && factory[position]->getEntityId() == id) {
            ++position;
        } else {
            position = positionAfter(factory, id);
        }
    }
}

}  // namespace

SyncEthOutputFeature::SyncEthOutputFeature(IDomainEntityFactory* factory, uint32_t id)
    : DomainEntity(id, factory),
      recState(REC_NOT_CREATED),
      selectionProcessMode(INITIAL_SELECTION_PROCESS_MODE),
      clockSettledQuality(INITIAL_CLOCK_SETTLED_QUALITY),
      qlHistory(sync_vorn_create(QL_HISTORY_ENTRIES, sizeof(uint32_t))),
      telecomStandard(INITIAL_TELECOM_STANDARD),
      mySyncEMasterId(0),
      syncEMasterId(0),
      flag(INITIAL_FLAG),
      numberCascadedEeec(INITIAL_NUMBER_CASCADED_EEEC),
      numberCascadedEec(INITIAL_NUMBER_CASCADED_EEC) {
    TRACE_ENTER("id: %u", id);
    const uint32_t initialQuality = clockSettledQuality;
    sync_vorn_add(qlHistory, &initialQuality, sizeof(initialQuality));
    TRACE_RETURN("%s", "");
}

SyncEthOutputFeature::~SyncEthOutputFeature() {
    TRACE_ENTER("id: %u", entityId);
    for (const auto& entry : indexedPorts_) {
        entry.second.port->removeLdnObserver(this);
    }
    syncEthOutputFactory_.reset();
    sync_vorn_destroy(&qlHistory);
    TRACE_RETURN("%s", "");
}

uint32_t SyncEthOutputFeature::getClientEntityId() const {
    return entityId;
}

uint32_t SyncEthOutputFeature::createSyncEthOutput(EthernetPort* port) {
    TRACE_ENTER("ethernetPort: %p", static_cast<void*>(port));
    if (getRecState() == REC_NOT_CREATED) {
        TRACE_RETURN("%s", "skip to create SyncEthOutput because of No REC");
        return 0;
    }
    if (port == nullptr) {
        TRACE_ERROR("%s", "Coding error: createSyncEthOutput got no EthernetPort");
        return 0;
    }
    if (SyncEthOutput* existing = findSyncEthOutputByEncapsulation(port->getLdn())) {
        TRACE_RETURN("SyncEthOutput is exist: %u", existing->getEntityId());
        return existing->getEntityId();
    }
    const uint32_t id = outputIdPool.createId();
    SyncEthOutputFactory* factory = myFactory();
    DomainEntity* entity = factory->create(id, getEntityId());
    if (entity == nullptr) {
        castToFailed(entity, typeid(DomainEntity*).name(), typeid(SyncEthOutput*).name());
    }
    SyncEthOutput* output = castTo<SyncEthOutput>(entity);
    output->init(this);
    factory->add(output);
    output->setEthernetPort(port);
    output->journalCreated();
    TRACE_RETURN("SyncEthOutput id: %u", id);
    return id;
}

bool SyncEthOutputFeature::deleteSyncEthOutput(SyncEthOutput* output) {
    TRACE_ENTER("output: %p", static_cast<void*>(output));
    if (output == nullptr) {
        TRACE_ERROR("%s", "Coding error: deleteSyncEthOutput got no SyncEthOutput");
        return false;
    }
    SyncEthOutputFactory* factory = myFactory();
    const uint32_t id = output->getEntityId();
    factory->find(id);
    output->journalRemoved();
    factory->deactivate(output);
    unindexOutput(id);
    factory->destroy(id);
    TRACE_RETURN("%s", "true");
    return true;
}

void SyncEthOutputFeature::deleteSyncEthOutputs() {
    TRACE_ENTER("%s", "");
    SyncEthOutputFactory* factory = myFactory();
    // Highest index first; a reaction that removes other outputs only shortens the walk.
    for (uint32_t position = factory->size(); position > 0;) {
        --position;
        deleteSyncEthOutput(castTo<SyncEthOutput>((*factory)[position]));
        if (position > factory->size()) {
            position = factory->size();
        }
    }
    TRACE_RETURN("%s", "");
}

void SyncEthOutputFeature::notifySyncEthOutputsAboutEvent(PolymorphEvent& event) {
    TRACE_ENTER("event: %s", event.getName());
    forEachOutput(*myFactory(), [&event](SyncEthOutput& output) { output.sendEvent(event); });
    TRACE_RETURN("%s", "");
}

void SyncEthOutputFeature::notifyTransmitSsmOfLagPort(const std::string& lagPortLdn) {
    TRACE_ENTER("lagPortLdn: %s", lagPortLdn.c_str());
    SyncEthOutput::SYNCETHOUTPUT_TRANSMIT_SSM_IND_EVENT event;
    notifySyncEthOutputsAboutLagPort(event, lagPortLdn);
    TRACE_RETURN("%s", "");
}

void SyncEthOutputFeature::notifySyncEthOutputsAboutLagPort(PolymorphEvent& event,
                                                            const std::string& lagPortLdn) {
    TRACE_ENTER("event: %s, lagPortLdn: %s", event.getName(), lagPortLdn.c_str());
    forEachOutput(*myFactory(), [&event, &lagPortLdn](SyncEthOutput& output) {
        const EthernetPort* port = output.peekEthernetPort();
        if (port != nullptr && port->getLagPortLdn() == lagPortLdn) {
            output.sendEvent(event);
        }
    });
    TRACE_RETURN("%s", "");
}

SyncEthOutput* SyncEthOutputFeature::findSyncEthOutput(uint32_t id) {
    TRACE_ENTER("id: %u", id);
    SyncEthOutput* output = registeredOutput(id);
    TRACE_RETURN("%s", output != nullptr ? "Found SyncEthOutput!" : "not found SyncEthOutput!");
    return output;
}

SyncEthOutput* SyncEthOutputFeature::findSyncEthOutputByPortId(uint32_t portId) {
    TRACE_ENTER("portId: %u", portId);
    SyncEthOutput* output = lookupByPortId(portId);
    TRACE_RETURN("%s", output != nullptr ? "Found SyncEthOutput!" : "not found SyncEthOutput!");
    return output;
}

SyncEthOutput* SyncEthOutputFeature::findSyncEthOutputByEncapsulation(const std::string& ldn) {
    TRACE_ENTER("ldn: %s", ldn.c_str());
    SyncEthOutput* output = lookupByPortLdn(ldn);
    TRACE_RETURN("%s", output != nullptr ? "Found SyncEthOutput!" : "not found SyncEthOutput!");
    return output;
}

void SyncEthOutputFeature::updateExtendedQlTlvInfo(uint64_t newSyncEMasterId, uint8_t newFlag,
                                                   uint8_t numberCascadedEnhancedEec,
                                                   uint8_t newNumberCascadedEec) {
    TRACE_ENTER(
        "syncEMasterId : 0x%016lx, flag : 0x%02x, numberCascadedEnhancedEec : %u, numberCascadedEec : %u",
        static_cast<unsigned long>(newSyncEMasterId), newFlag, numberCascadedEnhancedEec,
        newNumberCascadedEec);
    if (newSyncEMasterId == syncEMasterId && newFlag == flag &&
        numberCascadedEnhancedEec == numberCascadedEeec && newNumberCascadedEec == numberCascadedEec) {
        TRACE_RETURN("%s", "unchanged");
        return;
    }
    syncEMasterId = newSyncEMasterId;
    flag = newFlag;
    numberCascadedEeec = numberCascadedEnhancedEec;
    numberCascadedEec = newNumberCascadedEec;
    notifyTransmitSsm();
    TRACE_RETURN("%s", "");
}

void SyncEthOutputFeature::updateExtendedQlTlvInfoByBrokenAndInit(bool broken) {
    TRACE_ENTER("broken: %s", broken ? "true" : "false");
    // The chain of eEECs starts at this node; without any reference it is marked partial.
    syncEMasterId = mySyncEMasterId;
    flag = broken ? 0x00 : 0x02;
    numberCascadedEeec = 1;
    numberCascadedEec = 0;
    notifyTransmitSsm();
    TRACE_RETURN("%s", "");
}

void SyncEthOutputFeature::printFeatureInfo() {
    TRACE_ENTER("%s", "");
    const uint32_t rec = getRecState();
    const uint32_t mode = getSelectionProcessMode();
    COLII("%s", "********************** Output Feature Info **********************");
    COLII("%s", DASH_LINE);
    COLII("  %-25s : %d(%s)", "recState", static_cast<int>(rec), toChar(RecState(rec)));
    COLII("  %-25s : %d(%s)", "selectionProcessMode", static_cast<int>(mode),
          toChar(SelectionProcessMode(mode)));
    COLII("  %-25s : 0x%x", "clockSettledQuality", getClockSettledQuality());
    COLII("  %-25s : %s", "selectedReferenceLdn", getSelectedRef().c_str());
    COLII("  %-25s : %s", "portOfActiveReferenceLdn", getPortOfActiveReference().c_str());
    COLII("  %-25s : %s", "lagPortLdnOfActiveReference", getLagPortLdnOfActiveReference().c_str());
    COLII("  %-25s : %s", "telecomStandard", toChar(TelecomStandard(getTelecomStandard())));
    COLII("  %-25s : %016lx", "mySyncEMasterId", static_cast<unsigned long>(getMySyncEMasterId()));
    COLII("  %-25s : %016lx", "syncEMasterId", static_cast<unsigned long>(getSyncEMasterId()));
    COLII("  %-25s : 0x%02x", "flag", getFlag());
    COLII("  %-25s : %u", "numberCascadedEeec", getNumberCascadedEeec());
    COLII("  %-25s : %u", "numberCascadedEec", getNumberCascadedEec());
    printQualityHistory();
    COLII("%s", DASH_LINE);
    COLII("%s", "");
    TRACE_RETURN("%s", "");
}

void SyncEthOutputFeature::printQualityHistory() {
    COLII("%s", " --------------- Settled quality level history ------------------");
    if (sync_vorn_empty(qlHistory)) {
        COLII("%s", "Quality level history list is empty");
        return;
    }
    for (sync_vorn_iter_t it = sync_vorn_first(qlHistory); it != nullptr;
         it = sync_vorn_next(qlHistory, it)) {
        uint32_t quality = 0;
        struct timespec stamp = {};
        sync_vorn_get(qlHistory, it, &quality, sizeof(quality), &stamp);
        char text[SYNC_VORN_TS_STR_SIZE];
        sync_vorn_ts_2_str(&stamp, text, sizeof(text));
        COLII("  [%s] : %-2d (%s) ", text, static_cast<int>(quality), toChar(ClockQuality(quality)));
    }
}

std::vector<SyncEthOutputFeature::QualityRecord> SyncEthOutputFeature::getQualityHistory() const {
    std::vector<QualityRecord> history;
    for (sync_vorn_iter_t it = sync_vorn_first(qlHistory); it != nullptr;
         it = sync_vorn_next(qlHistory, it)) {
        QualityRecord record{};
        sync_vorn_get(qlHistory, it, &record.quality, sizeof(record.quality), &record.stamp);
        history.push_back(record);
    }
    return history;
}

void SyncEthOutputFeature::printOutputs() {
    TRACE_ENTER("%s", "");
    SyncEthOutputFactory* factory = myFactory();
    COLII("%s", "************************* SyncEthOutput *************************");
    COLII(" #Total SyncEthOutput: %zu", static_cast<size_t>(factory->size()));
    COLII("%s", "");
    forEachOutput(*factory, [](SyncEthOutput& output) { output.print(); });
    TRACE_RETURN("%s", "");
}

void SyncEthOutputFeature::subscribeSciInfo() {
    TRACE_ENTER("%s", "");
    Sci::ClientEntity& client = *this;
    client.sendEvent(SCIENTITY_REC_DATA_SUBSCRIBE_TO_SERVER_EVENT());
    client.sendEvent(SCIENTITY_SELECTED_REFERENCE_SUBSCRIBE_TO_SERVER_EVENT());
    client.sendEvent(SCIENTITY_TELECOM_STANDARD_SUBSCRIBE_TO_SERVER_EVENT());
    TRACE_RETURN("%s", "");
}

void SyncEthOutputFeature::updateRecCreate() {
    TRACE_ENTER("recState: %u", getRecState());
    if (getRecState() == REC_NOT_CREATED) {
        setRecState(REC_CREATED);
        EventJournal::report(EventJournal::REC_CREATED, "REC", "REC created");
    }
    TRACE_RETURN("recState: %u", getRecState());
}

void SyncEthOutputFeature::updateRecDelete() {
    TRACE_ENTER("recState: %u", getRecState());
    if (getRecState() == REC_CREATED) {
        setRecState(REC_NOT_CREATED);
        EventJournal::report(EventJournal::REC_DELETED, "REC", "REC deleted");
    }
    // Back to "nothing known" without telling anyone: the outputs are deleted next.
    selectionProcessMode = INITIAL_SELECTION_PROCESS_MODE;
    clockSettledQuality = INITIAL_CLOCK_SETTLED_QUALITY;
    TRACE_RETURN("recState: %u", getRecState());
}

uint32_t SyncEthOutputFeature::getRecState() const {
    return recState;
}

void SyncEthOutputFeature::setRecState(uint32_t state) {
    recState = state;
}

void SyncEthOutputFeature::updateSelectionProcessMode(uint32_t mode) {
    TRACE_ENTER("selectionProcessMode: %u", mode);
    if (mode != getSelectionProcessMode()) {
        const std::string previous = toChar(SelectionProcessMode(getSelectionProcessMode()));
        setSelectionProcessMode(mode);
        const std::string now = toChar(SelectionProcessMode(mode));
        EventJournal::report(EventJournal::MODE_CHANGED, "selection process mode",
                             "selection process mode changed from " + previous + " to " + now,
                             {{"SYNC_MODE", now}, {"SYNC_MODE_PREVIOUS", previous}});
        SyncEthOutput::SYNCETHOUTPUT_ESMC_CONTROL_IND_EVENT event;
        notifySyncEthOutputsAboutEvent(event);
    }
    TRACE_RETURN("%s", "");
}

uint32_t SyncEthOutputFeature::getSelectionProcessMode() const {
    return selectionProcessMode;
}

void SyncEthOutputFeature::setSelectionProcessMode(uint32_t mode) {
    selectionProcessMode = mode;
}

void SyncEthOutputFeature::updateClockSettledQuality(uint32_t quality) {
    TRACE_ENTER("clockSettledQuality: %u", quality);
    if (quality != getClockSettledQuality()) {
        const uint32_t previous = getClockSettledQuality();
        setClockSettledQuality(quality);
        EventJournal::report(
            EventJournal::QUALITY_CHANGED, "settled quality",
            "settled quality changed from " + qualityText(previous) + " to " + qualityText(quality),
            {{"SYNC_QL", std::to_string(quality)},
             {"SYNC_QL_NAME", toChar(ClockQuality(quality))},
             {"SYNC_QL_PREVIOUS", std::to_string(previous)},
             {"SYNC_QL_PREVIOUS_NAME", toChar(ClockQuality(previous))}});
        sync_vorn_add(qlHistory, &quality, sizeof(quality));
        notifyTransmitSsm();
    }
    TRACE_RETURN("%s", "");
}

uint32_t SyncEthOutputFeature::getClockSettledQuality() const {
    return clockSettledQuality;
}

void SyncEthOutputFeature::setClockSettledQuality(uint32_t quality) {
    clockSettledQuality = quality;
}

void SyncEthOutputFeature::updateActiveReference(const std::string& newSelectedReferenceLdn,
                                                 const std::string& portOfActiveReference) {
    TRACE_ENTER("selectedReferenceLdn: %s, portOfActiveReference: %s", newSelectedReferenceLdn.c_str(),
                portOfActiveReference.c_str());
    setSelectedRef(newSelectedReferenceLdn);
    setPortOfActiveReference(portOfActiveReference);
    setLagPortLdnOfActiveReference(findLagPortLdnByPortOfActiveReference(portOfActiveReference));
    notifyTransmitSsm();
    TRACE_RETURN("%s", "");
}

void SyncEthOutputFeature::updateLagPortOfActiveReference(const std::string& lagPortLdn) {
    TRACE_ENTER("lagPortLdnOfActiveReference: %s", lagPortLdn.c_str());
    setLagPortLdnOfActiveReference(lagPortLdn);
    notifyTransmitSsmOfLagPort(lagPortLdn);
    TRACE_RETURN("%s", "");
}

const std::string& SyncEthOutputFeature::getSelectedRef() const {
    return selectedReferenceLdn;
}

void SyncEthOutputFeature::setSelectedRef(const std::string& ldn) {
    selectedReferenceLdn = ldn;
}

const std::string& SyncEthOutputFeature::getPortOfActiveReference() const {
    return portOfActiveReferenceLdn;
}

void SyncEthOutputFeature::setPortOfActiveReference(const std::string& ldn) {
    portOfActiveReferenceLdn = ldn;
}

const std::string& SyncEthOutputFeature::getLagPortLdnOfActiveReference() const {
    return lagPortLdnOfActiveReference;
}

void SyncEthOutputFeature::setLagPortLdnOfActiveReference(const std::string& ldn) {
    lagPortLdnOfActiveReference = ldn;
}

void SyncEthOutputFeature::updateTelecomStandard(uint32_t standard) {
    TRACE_ENTER("telecomStandard: %u", standard);
    if (standard != getTelecomStandard()) {
        const std::string previous = toChar(TelecomStandard(getTelecomStandard()));
        setTelecomStandard(standard);
        const std::string now = toChar(TelecomStandard(standard));
        EventJournal::report(EventJournal::STANDARD_CHANGED, "telecom standard",
                             "telecom standard changed from " + previous + " to " + now,
                             {{"SYNC_STANDARD", now}, {"SYNC_STANDARD_PREVIOUS", previous}});
        notifyTransmitSsm();
    }
    TRACE_RETURN("%s", "");
}

uint32_t SyncEthOutputFeature::getTelecomStandard() const {
    return telecomStandard;
}

void SyncEthOutputFeature::setTelecomStandard(uint32_t standard) {
    telecomStandard = standard;
}

void SyncEthOutputFeature::setMySyncEMasterId(const uint8_t* macAddress) {
    TRACE_ENTER("macAddress: %p", static_cast<const void*>(macAddress));
    if (macAddress == nullptr) {
        TRACE_ERROR("%s", "Coding error: setMySyncEMasterId got no MAC address");
        return;
    }
    // Modified EUI-64: the MAC's first three bytes, FF FE, the last three bytes, most significant
    // byte first; then the universal/local bit of the first byte is inverted.
    uint64_t id = 0;
    int j = 0;
    for (int i = 7; i >= 0; --i) {
        uint8_t byte = 0;
        if (i == 4) {
            byte = 0xFF;
        } else if (i == 3) {
            byte = 0xFE;
        } else {
            byte = macAddress[j];
            TRACE_DEBUG("i:%d, j:%d, macAddress[%d]:%02x", i, j, j, byte);
            ++j;
        }
        id |= static_cast<uint64_t>(byte) << (8 * i);
        TRACE_DEBUG("mySyncEMasterId = %016lx", static_cast<unsigned long>(id));
    }
    id ^= 0x0200000000000000ULL;
    TRACE_DEBUG("After inverting 7th bit of the 1st byte mySyncEMasterId = %016lx",
                static_cast<unsigned long>(id));
    mySyncEMasterId = id;
    syncEMasterId = id;
    TRACE_RETURN("mySyncEMasterId = %016lx", static_cast<unsigned long>(mySyncEMasterId));
}

uint64_t SyncEthOutputFeature::getMySyncEMasterId() const {
    return mySyncEMasterId;
}

uint64_t SyncEthOutputFeature::getSyncEMasterId() const {
    return syncEMasterId;
}

uint8_t SyncEthOutputFeature::getFlag() const {
    return flag;
}

uint8_t SyncEthOutputFeature::getNumberCascadedEeec() const {
    return numberCascadedEeec;
}

uint8_t SyncEthOutputFeature::getNumberCascadedEec() const {
    return numberCascadedEec;
}

uint32_t SyncEthOutputFeature::getFeatureType() const {
    return entityId;
}

std::string SyncEthOutputFeature::findLagPortLdnByPortOfActiveReference(const std::string& portLdn) {
    TRACE_ENTER("portOfActiveReference: %s", portLdn.c_str());
    if (SyncEthOutput* output = lookupByPortLdn(portLdn)) {
        const std::string& lagPortLdn = output->getEthernetPort()->getLagPortLdn();
        TRACE_DEBUG("lagPortLdn : %s", lagPortLdn.c_str());
        TRACE_RETURN("%s", "Found LagPortLdn!");
        return lagPortLdn;
    }
    TRACE_RETURN("%s", "not found LagPortLdn!");
    return EthernetData::NO_LAG_PORT;
}

void SyncEthOutputFeature::notifyTransmitSsm() {
    TRACE_ENTER("%s", "");
    SyncEthOutput::SYNCETHOUTPUT_TRANSMIT_SSM_IND_EVENT event;
    notifySyncEthOutputsAboutEvent(event);
    TRACE_RETURN("%s", "");
}

SyncEthOutputFeature::SyncEthOutputFactory* SyncEthOutputFeature::myFactory() {
    if (!syncEthOutputFactory_) {
        TRACE_ERROR("%s", "Coding error: SyncEthOutputFeature got no syncEthOutputFactory_! ==> Abort");
        std::abort();
    }
    return syncEthOutputFactory_.get();
}

void SyncEthOutputFeature::syncEthOutputPortChanged(SyncEthOutput& output, EthernetPort* previous) {
    TRACE_ENTER("output: %u, previous: %p", output.getEntityId(), static_cast<void*>(previous));
    unindexOutput(output.getEntityId());
    if (EthernetPort* port = output.peekEthernetPort()) {
        indexOutput(output.getEntityId(), port);
    }
    TRACE_RETURN("%s", "");
}

void SyncEthOutputFeature::ethernetPortLdnChanged(EthernetPort& port, const std::string& previousLdn) {
    TRACE_ENTER("previousLdn: %s, ldn: %s", previousLdn.c_str(), port.getLdn().c_str());
    const uint32_t portId = port.getEntityId();
    for (auto it = outputsByPortId_.lower_bound({portId, 0});
         it != outputsByPortId_.end() && it->first == portId; ++it) {
        IndexedPort& indexed = indexedPorts_.at(it->second);
        if (indexed.port != &port) {
            continue;
        }
        outputsByPortLdn_.erase({indexed.ldn, it->second});
        indexed.ldn = port.getLdn();
        outputsByPortLdn_.insert({indexed.ldn, it->second});
    }
    TRACE_RETURN("%s", "");
}

SyncEthOutput* SyncEthOutputFeature::registeredOutput(uint32_t id) {
    if (!syncEthOutputFactory_) {
        return nullptr;
    }
    return castTo<SyncEthOutput>(syncEthOutputFactory_->lookup(id));
}

SyncEthOutput* SyncEthOutputFeature::lookupByPortLdn(const std::string& ldn) {
    // Entries are verified against the output's current port, so a port whose ldn changed behind the
    // observer's back is never taken for another.
    for (auto it = outputsByPortLdn_.lower_bound({ldn, 0}); it != outputsByPortLdn_.end() && it->first == ldn;
         ++it) {
        SyncEthOutput* output = registeredOutput(it->second);
        if (output != nullptr && output->peekEthernetPort() != nullptr &&
            output->peekEthernetPort()->getLdn() == ldn) {
            return output;
        }
    }
    return nullptr;
}

SyncEthOutput* SyncEthOutputFeature::lookupByPortId(uint32_t portId) {
    for (auto it = outputsByPortId_.lower_bound({portId, 0});
         it != outputsByPortId_.end() && it->first == portId; ++it) {
        SyncEthOutput* output = registeredOutput(it->second);
        if (output != nullptr && output->peekEthernetPort() != nullptr &&
            output->peekEthernetPort()->getEntityId() == portId) {
            return output;
        }
    }
    return nullptr;
}

void SyncEthOutputFeature::indexOutput(uint32_t outputId, EthernetPort* port) {
    IndexedPort indexed{port, port->getEntityId(), port->getLdn()};
    outputsByPortId_.insert({indexed.portId, outputId});
    outputsByPortLdn_.insert({indexed.ldn, outputId});
    indexedPorts_[outputId] = indexed;
    port->addLdnObserver(this);
}

void SyncEthOutputFeature::unindexOutput(uint32_t outputId) {
    auto found = indexedPorts_.find(outputId);
    if (found == indexedPorts_.end()) {
        return;
    }
    const IndexedPort indexed = found->second;
    indexedPorts_.erase(found);
    outputsByPortId_.erase({indexed.portId, outputId});
    outputsByPortLdn_.erase({indexed.ldn, outputId});
    if (!isPortIndexed(indexed.port, indexed.portId)) {
        indexed.port->removeLdnObserver(this);
    }
}

bool SyncEthOutputFeature::isPortIndexed(const EthernetPort* port, uint32_t portId) const {
    for (auto it = outputsByPortId_.lower_bound({portId, 0});
         it != outputsByPortId_.end() && it->first == portId; ++it) {
        if (indexedPorts_.at(it->second).port == port) {
            return true;
        }
    }
    return false;
}

}  // namespace EthCentral
}  // namespace Sync
