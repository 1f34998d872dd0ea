#include "model/port/EthernetPort.h"

#include <algorithm>

#include "Macros.h"
#include "common_fwk_classes/utilities/PortProperties.h"
#include "model/port/EthernetPortLdnObserver.h"

namespace Sync {
namespace EthCentral {

namespace {

constexpr uint32_t UNLOCKED = static_cast<uint32_t>(AdministrativeState::UNLOCKED);
constexpr uint32_t ENABLED = static_cast<uint32_t>(OperationalState::ENABLED);

}  // namespace

EthernetPort::EthernetPort(IDomainEntityFactory* factory, uint32_t id) : DomainEntity(id, factory) {
    TRACE_ENTER("id: %d", static_cast<int>(id));
    TRACE_RETURN("%s", "");
}

EthernetPort::~EthernetPort() = default;

void EthernetPort::init(const std::string& ldn) {
    TRACE_ENTER("ldn: %s", ldn.c_str());
    setLdn(ldn);
    TRACE_RETURN("%s", "");
}

void EthernetPort::setLdn(const std::string& ldn) {
    TRACE_ENTER("ldn: %s", ldn.c_str());
    const std::string previousLdn = hasLdnObservers() ? getLdn() : std::string();
    ethernetData_.ldn = ldn;
    ldnMayHaveChanged(previousLdn);
    TRACE_RETURN("%s", "");
}

void EthernetPort::updateEthernetConfiguration(const std::string& macAddress,
                                               const std::string& interfaceName,
                                               const std::string& tnportName, uint32_t rhaiId,
                                               uint32_t portType) {
    TRACE_ENTER("macAddress: %s, interfaceName: %s, tnportName: %s, rhaiId: %u, portType: %u",
                macAddress.c_str(), interfaceName.c_str(), tnportName.c_str(), rhaiId, portType);
    const std::string previousLdn = hasLdnObservers() ? getLdn() : std::string();
    prevEthernetData_.macAddress = ethernetData_.macAddress;
    prevEthernetData_.interfaceName = ethernetData_.interfaceName;
    prevEthernetData_.tnportName = ethernetData_.tnportName;
    prevEthernetData_.rhaiId = ethernetData_.rhaiId;
    prevEthernetData_.portType = ethernetData_.portType;
    ethernetData_.macAddress = macAddress;
    ethernetData_.interfaceName = interfaceName;
    ethernetData_.tnportName = tnportName;
    ethernetData_.rhaiId = rhaiId;
    ethernetData_.portType = portType;
    ldnMayHaveChanged(previousLdn);
    TRACE_RETURN("%s", "");
}

void EthernetPort::updateEthernetEquipment(uint32_t masterSlaveMode, uint32_t sfpType, uint32_t linkSpeed,
                                           uint32_t duplexMode) {
    TRACE_ENTER("masterSlaveMode: %u, sfpType: %u, linkSpeed: %u, duplexMode: %u", masterSlaveMode, sfpType,
                linkSpeed, duplexMode);
    prevEthernetData_.masterSlaveMode = ethernetData_.masterSlaveMode;
    prevEthernetData_.sfpType = ethernetData_.sfpType;
    prevEthernetData_.linkSpeed = ethernetData_.linkSpeed;
    prevEthernetData_.duplexMode = ethernetData_.duplexMode;
    ethernetData_.masterSlaveMode = masterSlaveMode;
    ethernetData_.sfpType = sfpType;
    ethernetData_.linkSpeed = linkSpeed;
    ethernetData_.duplexMode = duplexMode;
    TRACE_RETURN("%s", "");
}

void EthernetPort::updateNetworkNamespace(const std::string& networkNamespace) {
    TRACE_ENTER("networkNamespace: %s", networkNamespace.c_str());
    prevEthernetData_.networkNamespace = ethernetData_.networkNamespace;
    ethernetData_.networkNamespace = networkNamespace;
    TRACE_RETURN("%s", "");
}

void EthernetPort::updateTransportIfAdminState(uint32_t state) {
    TRACE_ENTER("administrativeState: %u", state);
    prevEthernetData_.administrativeState = ethernetData_.administrativeState;
    ethernetData_.administrativeState = state;
    const bool wasUnlocked = prevEthernetData_.administrativeState == UNLOCKED;
    if ((state == UNLOCKED) != wasUnlocked)
        journal(wasUnlocked ? EventJournal::PORT_LOCKED : EventJournal::PORT_UNLOCKED,
                wasUnlocked ? "locked" : "unlocked");
    TRACE_RETURN("%s", "");
}

void EthernetPort::updateTransportIfState(uint32_t operationalState,
                                          const std::set<uint32_t>& availabilityStatus) {
    TRACE_ENTER("operationalState: %u, availabilityStatus: %zu value(s)", operationalState,
                availabilityStatus.size());
    prevEthernetData_.operationalState = ethernetData_.operationalState;
    prevEthernetData_.availabilityStatus = ethernetData_.availabilityStatus;
    ethernetData_.operationalState = operationalState;
    ethernetData_.availabilityStatus = availabilityStatus;
    const bool wasEnabled = prevEthernetData_.operationalState == ENABLED;
    if ((operationalState == ENABLED) != wasEnabled)
        journal(wasEnabled ? EventJournal::PORT_DISABLED : EventJournal::PORT_ENABLED,
                wasEnabled ? "disabled" : "enabled");
    TRACE_RETURN("%s", "");
}

void EthernetPort::updateLagPortConfiguration(uint32_t isLag, const std::string& lagPortLdn) {
    TRACE_ENTER("isLag: %u, lagPortLdn: %s", isLag, lagPortLdn.c_str());
    prevEthernetData_.isLag = ethernetData_.isLag;
    prevEthernetData_.lagPortLdn = ethernetData_.lagPortLdn;
    ethernetData_.isLag = isLag;
    ethernetData_.lagPortLdn = lagPortLdn;
    TRACE_RETURN("%s", "");
}

uint32_t EthernetPort::getRhaiId() const {
    return ethernetData_.rhaiId;
}

uint32_t EthernetPort::getMasterSlaveMode() const {
    return ethernetData_.masterSlaveMode;
}

uint32_t EthernetPort::getPrevMasterSlaveMode() const {
    return prevEthernetData_.masterSlaveMode;
}

uint32_t EthernetPort::getPortType() const {
    return ethernetData_.portType;
}

uint32_t EthernetPort::getSfpType() const {
    return ethernetData_.sfpType;
}

uint32_t EthernetPort::getLinkSpeed() const {
    return ethernetData_.linkSpeed;
}

uint32_t EthernetPort::getPrevLinkSpeed() const {
    return prevEthernetData_.linkSpeed;
}

uint32_t EthernetPort::getDuplexMode() const {
    return ethernetData_.duplexMode;
}

uint32_t EthernetPort::getPrevDuplexMode() const {
    return prevEthernetData_.duplexMode;
}

const std::string& EthernetPort::getInterfaceName() const {
    return ethernetData_.interfaceName;
}

const std::string& EthernetPort::getNetworkNamespace() const {
    return ethernetData_.networkNamespace;
}

const std::string& EthernetPort::getLdn() const {
    return ethernetData_.ldn;
}

const uint32_t& EthernetPort::getAdministrativeState() const {
    return ethernetData_.administrativeState;
}

void EthernetPort::getTransportIfState(uint32_t& operationalState,
                                       std::set<uint32_t>& availabilityStatus) const {
    operationalState = ethernetData_.operationalState;
    availabilityStatus = ethernetData_.availabilityStatus;
}

uint32_t EthernetPort::getIsLag() const {
    return ethernetData_.isLag;
}

const std::string& EthernetPort::getLagPortLdn() const {
    return ethernetData_.lagPortLdn;
}

bool EthernetPort::isRhaiIdChanged() const {
    return prevEthernetData_.rhaiId != ethernetData_.rhaiId;
}

bool EthernetPort::isLagChanged() const {
    return prevEthernetData_.isLag != ethernetData_.isLag;
}

bool EthernetPort::isLagPortLdnChanged() const {
    TRACE_DEBUG("prevEthernetData_.lagPortLdn: %s", prevEthernetData_.lagPortLdn.c_str());
    TRACE_DEBUG("ethernetData_.lagPortLdn: %s", ethernetData_.lagPortLdn.c_str());
    return prevEthernetData_.lagPortLdn != ethernetData_.lagPortLdn;
}

bool EthernetPort::isSfpTypeChanged() const {
    return ethernetData_.sfpType != prevEthernetData_.sfpType;
}

bool EthernetPort::isInterfaceNameChanged() const {
    return prevEthernetData_.interfaceName != ethernetData_.interfaceName;
}

bool EthernetPort::isNetworkNamespaceChanged() const {
    return prevEthernetData_.networkNamespace != ethernetData_.networkNamespace;
}

void EthernetPort::addLdnObserver(EthernetPortLdnObserver* observer) {
    if (observer != nullptr &&
        std::find(ldnObservers_.begin(), ldnObservers_.end(), observer) == ldnObservers_.end()) {
        ldnObservers_.push_back(observer);
    }
}

void EthernetPort::removeLdnObserver(EthernetPortLdnObserver* observer) {
    ldnObservers_.erase(std::remove(ldnObservers_.begin(), ldnObservers_.end(), observer),
                        ldnObservers_.end());
}

void EthernetPort::ldnMayHaveChanged(const std::string& previousLdn) {
    if (ldnObservers_.empty() || getLdn() == previousLdn) {
        return;
    }
    // An observer may stop observing while it is told; walk a snapshot.
    const std::vector<EthernetPortLdnObserver*> observers = ldnObservers_;
    for (EthernetPortLdnObserver* observer : observers) {
        observer->ethernetPortLdnChanged(*this, previousLdn);
    }
}

void EthernetPort::journal(EventJournal::Kind kind, const std::string& what) const {
    if (!EventJournal::budgetLeft())
        return;
    const std::string subject = "port " + getLdn();
    EventJournal::Fields fields{{"SYNC_PORT", getLdn()}, {"SYNC_PORT_ID", std::to_string(entityId)}};
    if (!ethernetData_.interfaceName.empty())
        fields.emplace_back("SYNC_INTERFACE", ethernetData_.interfaceName);
    EventJournal::report(kind, subject, subject + " " + what, fields);
}

}  // namespace EthCentral
}  // namespace Sync
