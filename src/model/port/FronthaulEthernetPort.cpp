#include "model/port/FronthaulEthernetPort.h"

#include "Macros.h"
#include "utilities/coli_common.h"

namespace Sync {
namespace LumovControl {

namespace {

constexpr const char* DASH_LINE = " ----------------------------------------------------------------";
constexpr uint32_t ADMIN_UNLOCKED = 1;
constexpr uint32_t OPER_ENABLED = 1;

}  // namespace

FronthaulEthernetPort::FronthaulEthernetPort(IDomainEntityFactory* factory, uint32_t id)
    : EthernetPort(factory, id), iepcsiId(0), iepcsiRole(0), iepcsiIdObserver_(nullptr) {
    TRACE_ENTER("id: %d", static_cast<int>(id));
    TRACE_RETURN("%s", "");
}

FronthaulEthernetPort::~FronthaulEthernetPort() = default;

void FronthaulEthernetPort::activate() {
    TRACE_ENTER("id: %u", entityId);
    Iepcsi::ServiceEntity::subscribeToServer();
    TRACE_RETURN("%s", "");
}

void FronthaulEthernetPort::deactivate() {
    TRACE_ENTER("id: %u", entityId);
    Iepcsi::ServiceEntity::unsubscribeFromServer();
    TRACE_RETURN("%s", "");
}

void FronthaulEthernetPort::setLdn(const std::string& ldn) {
    TRACE_ENTER("ldn: %s", ldn.c_str());
    const std::string previousLdn = getLdn();
    ethernetData_.ldn = ldn;
    ethernetData_.tnportName = ldn;
    ldnMayHaveChanged(previousLdn);
    TRACE_RETURN("%s", "");
}

const std::string& FronthaulEthernetPort::getLdn() const {
    return ethernetData_.tnportName;
}

uint32_t FronthaulEthernetPort::getIepcsiId() const {
    return iepcsiId;
}

uint32_t FronthaulEthernetPort::getIepcsiRole() const {
    return iepcsiRole;
}

void FronthaulEthernetPort::setIepcsiId(uint32_t id) {
    const uint32_t previous = iepcsiId;
    iepcsiId = id;
    if (iepcsiIdObserver_ != nullptr && previous != id) {
        iepcsiIdObserver_->iepcsiIdChanged(*this, previous);
    }
}

void FronthaulEthernetPort::setIepcsiRole(uint32_t role) {
    iepcsiRole = role & ROLE_MASK;
    TRACE_INFO("New iepcsi role (%u) for Ethernet Port %s", iepcsiRole, ethernetData_.tnportName.c_str());
}

uint32_t FronthaulEthernetPort::getServiceEntityId() const {
    return iepcsiId;
}

std::string FronthaulEthernetPort::getServicePortName() const {
    return ethernetData_.tnportName;
}

uint32_t FronthaulEthernetPort::getServicePortRole() const {
    return iepcsiRole;
}

bool FronthaulEthernetPort::isUp() const {
    return getAdministrativeState() == ADMIN_UNLOCKED && getOperationalState() == OPER_ENABLED;
}

void FronthaulEthernetPort::print() {
    TRACE_ENTER("id: %u", entityId);
    const EthCentral::EthernetData& data = ethernetData_;
    COLII(" #FronthaulEthernetPort, id : %u ", entityId);
    COLII("%s", DASH_LINE);
    COLII("  %-26s: %s", "ldn", data.ldn.c_str());
    COLII("  %-26s: %s", "tnport name", data.tnportName.c_str());
    COLII("  %-26s: %s", "mac address", data.macAddress.c_str());
    COLII("  %-26s: %s", "interface name", data.interfaceName.c_str());
    COLII("  %-26s: (%s)", "network namespace", data.networkNamespace.c_str());
    COLII("  %-26s: %d", "rhaiId", static_cast<int>(data.rhaiId));
    COLII("  %-26s: %d", "vlanId", static_cast<int>(data.vlanId));
    COLII("  %-26s: %d", "iepcsiId", static_cast<int>(iepcsiId));
    COLII("  %-26s: %s", "iepcsiLdn", data.interfaceName.c_str());
    COLII("  %-26s: %d", "iepcsiRole", static_cast<int>(iepcsiRole));
    COLII("  %-26s: %u", "administrativeState", data.administrativeState);
    COLII("  %-26s: %s", "operationalState", data.operationalState == OPER_ENABLED ? "ENABLED" : "DISABLED");
    COLII("  %-26s:", "availabilityStatus");
    for (uint32_t status : data.availabilityStatus) {
        COLII("    - %s", status != 0 ? "true" : "false");
    }
    COLII("  %-26s: (%d)", "isLag", static_cast<int>(data.isLag));
    COLII("  %-26s: (%s)", "lagPortLdn", data.lagPortLdn.c_str());
    COLII("%s", DASH_LINE);
    COLII("%s", "");
    TRACE_RETURN("%s", "");
}

}  // namespace LumovControl
}  // namespace Sync
