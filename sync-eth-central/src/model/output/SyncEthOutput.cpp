#include "model/output/SyncEthOutput.h"

#include <cstdio>
#include <cstdlib>

#include "Macros.h"
#include "common_fwk_classes/utilities/FeatureValues.h"
#include "common_fwk_classes/utilities/QualityLevel.h"
#include "model/output/SyncEthOutputFeature.h"
#include "model/port/EthernetData.h"
#include "model/port/EthernetPort.h"
#include "utilities/coli_common.h"

namespace Sync {
namespace EthCentral {

namespace {

std::string hexByte(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%02x", value);
    return text;
}

const char* onOff(bool enabled) {
    return enabled ? "true" : "false";
}

}  // namespace

SyncEthOutput::SyncEthOutput(IDomainEntityFactory* factory, uint32_t id)
    : DomainEntity(id, factory), feature(nullptr), ethernetPort(nullptr) {
    TRACE_ENTER("id: %u", id);
    TRACE_RETURN("%s", "");
}

SyncEthOutput::~SyncEthOutput() = default;

void SyncEthOutput::activate() {
    TRACE_ENTER("id: %u", entityId);
    TRACE_RETURN("%s", "");
}

void SyncEthOutput::deactivate() {
    TRACE_ENTER("id: %u", entityId);
    sendEvent(SYNCETHOUTPUT_DELETED_EVENT());
    TRACE_RETURN("%s", "");
}

void SyncEthOutput::init(SyncEthOutputFeature* owner) {
    TRACE_ENTER("feature: %p", static_cast<void*>(owner));
    feature = owner;
    TRACE_RETURN("%s", "");
}

void SyncEthOutput::setEthernetPort(EthernetPort* port) {
    TRACE_ENTER("portId: %u", port != nullptr ? port->getEntityId() : 0);
    EthernetPort* previous = ethernetPort;
    ethernetPort = port;
    // The feature's lookups must find the output by its new port before anyone reacts to it.
    if (feature != nullptr) {
        feature->syncEthOutputPortChanged(*this, previous);
    }
    sendSyncEthOutputConfiguredEvent();
    TRACE_RETURN("%s", "");
}

EthernetPort* SyncEthOutput::getEthernetPort() const {
    if (ethernetPort == nullptr) {
        TRACE_ERROR("%s", "Coding error!");
        std::abort();
    }
    return ethernetPort;
}

uint32_t SyncEthOutput::getEthernetPortId() const {
    return getEthernetPort()->getEntityId();
}

bool SyncEthOutput::isOutputEnabled() const {
    TRACE_ENTER("%s", "");
    if (feature != nullptr &&
        feature->getSelectionProcessMode() == static_cast<uint32_t>(SelectionProcessMode::QL_ENABLED)) {
        TRACE_RETURN("%s", "Output is ENABLED");
        return true;
    }
    TRACE_RETURN("%s", "Output is DISABLED");
    return false;
}

bool SyncEthOutput::isLagPortChanged() const {
    const EthernetPort* port = getEthernetPort();
    return port->isLagChanged() || port->isLagPortLdnChanged();
}

bool SyncEthOutput::mustTransmitDoNotUse() const {
    const bool samePort = isSamePortWithActiveReference();
    const bool sameLag = isSamLagPortWithActiveReference();
    TRACE_DEBUG("isSamePortWithActiveReference: %u isSamLagPortWithActiveReference: %u", samePort ? 1u : 0u,
                sameLag ? 1u : 0u);
    return sameLag || samePort || !isEthernetPortSupportable();
}

uint32_t SyncEthOutput::getSsmCode() const {
    TRACE_ENTER("id: %u", entityId);
    uint32_t ssmCode = DO_NOT_USE_SSM_CODE;
    if (feature != nullptr) {
        getEthernetPort();
        if (!mustTransmitDoNotUse()) {
            ssmCode =
                ssmCodeForOption(ssmCodeOf(feature->getClockSettledQuality()), feature->getTelecomStandard());
        }
    }
    TRACE_RETURN("ssmCode: 0x%x", ssmCode);
    return ssmCode;
}

uint32_t SyncEthOutput::getEnhancedSsmCode() const {
    TRACE_ENTER("id: %u", entityId);
    uint32_t enhancedSsmCode = NO_ENHANCED_SSM_CODE;
    if (feature != nullptr) {
        getEthernetPort();
        if (!mustTransmitDoNotUse()) {
            const uint32_t code = ssmCodeOf(feature->getClockSettledQuality());
            if (isEnhancedSsmCode(code)) {
                enhancedSsmCode = code;
            }
        }
    }
    TRACE_RETURN("enahncedSsmCode=0x%02x", enhancedSsmCode);
    return enhancedSsmCode;
}

uint64_t SyncEthOutput::getSyncEMasterId() const {
    if (feature == nullptr) {
        TRACE_RETURN("%s", "syncEMasterId=0000000000000000");
        return 0;
    }
    const uint64_t id = feature->getSyncEMasterId();
    TRACE_RETURN("syncEMasterId=0x%016lx", static_cast<unsigned long>(id));
    return id;
}

uint8_t SyncEthOutput::getFlag() const {
    if (feature == nullptr) {
        TRACE_RETURN("%s", "flag=0x00");
        return 0;
    }
    const uint8_t flag = feature->getFlag();
    TRACE_RETURN("flag=0x%02x", flag);
    return flag;
}

uint8_t SyncEthOutput::getNumberCascadedEnhancedEec() const {
    if (feature == nullptr) {
        TRACE_RETURN("%s", "numberCascadedEnhancedEec=0");
        return 0;
    }
    const uint8_t count = feature->getNumberCascadedEeec();
    TRACE_RETURN("numberCascadedEnhancedEec=%u", count);
    return count;
}

uint8_t SyncEthOutput::getNumberCascadedEec() const {
    if (feature == nullptr) {
        TRACE_RETURN("%s", "numberCascadedEec=0");
        return 0;
    }
    const uint8_t count = feature->getNumberCascadedEec();
    TRACE_RETURN("numberCascadedEec=%u", count);
    return count;
}

void SyncEthOutput::notifyEthernetPortChanged() {
    TRACE_ENTER("id: %u", entityId);
    const bool initiated = isEthernetPortInitiatedForSecli();
    if (initiated && isEthernetPortLagConfigured()) {
        // A LAG member is served through its LAG, not as a port of its own.
        sendEvent(SYNCETHOUTPUT_DELETED_EVENT());
        TRACE_RETURN("%s", "SYNCETHOUTPUT_DELETED_EVENT");
        return;
    }
    if (initiated && isEthernetPortChangedForSecli()) {
        sendEvent(SYNCETHOUTPUT_CONFIGURED_EVENT());
    }
    if (isEthernetPortSupportableChanged()) {
        sendEvent(SYNCETHOUTPUT_TRANSMIT_SSM_IND_EVENT());
    }
    TRACE_RETURN("%s", "");
}

void SyncEthOutput::notifyLagPortChanged() {
    TRACE_ENTER("id: %u", entityId);
    sendEvent(SYNCETHOUTPUT_TRANSMIT_SSM_IND_EVENT());
    TRACE_RETURN("%s", "");
}

void SyncEthOutput::notifyInitialData() {
    TRACE_ENTER("id: %u", entityId);
    sendEvent(SYNCETHOUTPUT_TRANSMIT_SSM_IND_EVENT());
    sendEvent(SYNCETHOUTPUT_ESMC_CONTROL_IND_EVENT());
    TRACE_RETURN("%s", "");
}

void SyncEthOutput::print() {
    TRACE_ENTER("id: %u", entityId);
    COLII(" #SyncEthOutput, id: %u ", entityId);
    COLII("%s", " ----------------------------------------------------------------");
    COLII("  %-20s : %s", "ldn of ethernetPort", getEthernetPort()->getLdn().c_str());
    COLII("  %-20s : 0x%02x", "ssm", getSsmCode());
    COLII("  %-20s : 0x%02x", "enhancedSsmCode", getEnhancedSsmCode() & 0xFFu);
    COLII("  %-20s : %s", "synceOutputEnabled", isOutputEnabled() ? "true" : "false");
    COLII("%s", "");
    TRACE_RETURN("%s", "");
}

bool SyncEthOutput::isReadyForSecli() const {
    return ethernetPort != nullptr && isEthernetPortInitiatedForSecli();
}

void SyncEthOutput::sendSyncEthOutputConfiguredEvent() {
    TRACE_ENTER("id: %u", entityId);
    if (isEthernetPortInitiatedForSecli()) {
        TRACE_DEBUG("%s", "Send SYNCETHOUTPUT_CONFIGURED_EVENT");
        sendEvent(SYNCETHOUTPUT_CONFIGURED_EVENT());
    }
    TRACE_RETURN("%s", "");
}

bool SyncEthOutput::isSamePortWithActiveReference() const {
    if (feature == nullptr) {
        return false;
    }
    const std::string& own = getEthernetPort()->getLdn();
    const std::string& active = feature->getPortOfActiveReference();
    TRACE_DEBUG("Output: %s, Active: %s", own.c_str(), active.c_str());
    return own == active;
}

bool SyncEthOutput::isSamLagPortWithActiveReference() const {
    if (feature == nullptr) {
        return false;
    }
    const std::string& active = feature->getLagPortLdnOfActiveReference();
    if (active == EthernetData::NO_LAG_PORT) {
        return false;
    }
    const std::string& own = getEthernetPort()->getLagPortLdn();
    TRACE_DEBUG("My lagPortLdn: %s, LagPortOfActiveReference: %s", own.c_str(), active.c_str());
    return own == active;
}

bool SyncEthOutput::isEthernetPortInitiatedForSecli() const {
    const EthernetPort* port = getEthernetPort();
    return !port->getInterfaceName().empty() &&
           port->getNetworkNamespace() != EthernetData::NAMESPACE_NOT_INITIALIZED;
}

bool SyncEthOutput::isEthernetPortChangedForSecli() const {
    const EthernetPort* port = getEthernetPort();
    return port->isInterfaceNameChanged() || port->isNetworkNamespaceChanged() || port->isLagChanged();
}

bool SyncEthOutput::isEthernetPortLagConfigured() const {
    return getEthernetPort()->getIsLag() != 0;
}

bool SyncEthOutput::isSynceSupportable(SfpKind kind, uint32_t linkSpeed, uint32_t masterSlaveMode,
                                       uint32_t duplexMode) const {
    TRACE_ENTER("kind: %s, linkSpeed: %u, masterSlaveMode: %u, duplexMode: %u", toChar(kind), linkSpeed,
                masterSlaveMode, duplexMode);
    if (kind == SfpKind::SFP_CAT_X_CABLE) {
        TRACE_RETURN("%s", "Electric RJ45 SFP port cannot provide SyncE reference");
        return false;
    }
    if (kind == SfpKind::CAT_X_CABLE) {
        if (linkSpeed == static_cast<uint32_t>(LinkSpeed::SPEED_1G) &&
            masterSlaveMode != static_cast<uint32_t>(MasterSlaveMode::MASTER)) {
            TRACE_RETURN("%s", "Slave mode RJ45 1000Base-T port cannot provide SyncE reference");
            return false;
        }
        if (linkSpeed == static_cast<uint32_t>(LinkSpeed::SPEED_100M) &&
            duplexMode != static_cast<uint32_t>(DuplexMode::FULL_DUPLEX)) {
            TRACE_RETURN("%s", "half duplex mode RJ45 100Base-T port cannot provide SyncE reference");
            return false;
        }
    }
    TRACE_RETURN("%s", "true");
    return true;
}

bool SyncEthOutput::isEthernetPortSupportable() const {
    const EthernetPort* port = getEthernetPort();
    return isSynceSupportable(classifySfp(port->getPortType(), port->getSfpType()), port->getLinkSpeed(),
                              port->getMasterSlaveMode(), port->getDuplexMode());
}

bool SyncEthOutput::wasEthernetPortSupportable() const {
    const EthernetPort* port = getEthernetPort();
    return isSynceSupportable(classifySfp(port->getPrevPortType(), port->getPrevSfpType()),
                              port->getPrevLinkSpeed(), port->getPrevMasterSlaveMode(),
                              port->getPrevDuplexMode());
}

bool SyncEthOutput::isEthernetPortSupportableChanged() const {
    return isEthernetPortSupportable() != wasEthernetPortSupportable();
}

void SyncEthOutput::sendEvent(PolymorphEvent& event) {
    // Reviewed before the event goes out: the change it announces is made already, and a reaction
    // to it may delete this output.
    const TypeId type = event.getTypeId();
    if (announced_ && (type == SYNCETHOUTPUT_TRANSMIT_SSM_IND_EVENT::classTypeId() ||
                       type == SYNCETHOUTPUT_ESMC_CONTROL_IND_EVENT::classTypeId()))
        reviewAnnouncement();
    DomainEntity::sendEvent(event);
}

void SyncEthOutput::reviewAnnouncement() {
    const Announced before = *announced_;
    const Announced now = announcement();
    announced_ = now;
    if (now.enabled != before.enabled)
        journal(now.enabled ? EventJournal::OUTPUT_ENABLED : EventJournal::OUTPUT_DISABLED,
                now.enabled ? "enabled" : "disabled");
    if (now.ssm != before.ssm)
        journal(EventJournal::OUTPUT_SSM_CHANGED,
                "SSM changed from " + hexByte(before.ssm) + " to " + hexByte(now.ssm),
                {{"SYNC_SSM", hexByte(now.ssm)}, {"SYNC_SSM_PREVIOUS", hexByte(before.ssm)}});
    if (now.enhancedSsm != before.enhancedSsm)
        journal(
            EventJournal::OUTPUT_ENHANCED_SSM_CHANGED,
            "enhanced SSM changed from " + hexByte(before.enhancedSsm) + " to " + hexByte(now.enhancedSsm),
            {{"SYNC_ENHANCED_SSM", hexByte(now.enhancedSsm)},
             {"SYNC_ENHANCED_SSM_PREVIOUS", hexByte(before.enhancedSsm)}});
}

void SyncEthOutput::journalCreated() {
    const Announced now = announcement();
    announced_ = now;
    journal(EventJournal::OUTPUT_CREATED,
            "created: SSM " + hexByte(now.ssm) + ", enhanced SSM " + hexByte(now.enhancedSsm) +
                (now.enabled ? ", enabled" : ", disabled"),
            {{"SYNC_SSM", hexByte(now.ssm)},
             {"SYNC_ENHANCED_SSM", hexByte(now.enhancedSsm)},
             {"SYNC_ENABLED", onOff(now.enabled)}});
}

void SyncEthOutput::journalRemoved() {
    journal(EventJournal::OUTPUT_REMOVED, "removed");
    announced_.reset();
}

SyncEthOutput::Announced SyncEthOutput::announcement() const {
    return Announced{isOutputEnabled(), getSsmCode(), getEnhancedSsmCode() & 0xFFu};
}

void SyncEthOutput::journal(EventJournal::Kind kind, const std::string& what,
                            const EventJournal::Fields& extra) {
    if (!EventJournal::budgetLeft())
        return;
    const std::string port = ethernetPort != nullptr ? ethernetPort->getLdn() : std::string();
    const std::string subject = "output " + std::to_string(entityId);
    EventJournal::Fields fields{{"SYNC_OUTPUT", std::to_string(entityId)}, {"SYNC_PORT", port}};
    fields.insert(fields.end(), extra.begin(), extra.end());
    EventJournal::report(kind, subject, subject + " on port " + port + " " + what, fields);
}

}  // namespace EthCentral
}  // namespace Sync
