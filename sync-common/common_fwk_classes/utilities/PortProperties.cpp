#include "common_fwk_classes/utilities/PortProperties.h"

#include "common_fwk_classes/utilities/TextTable.h"

namespace Sync {

namespace {

const char* const portTypeTexts[] = {"ETHSCI_NOT_SFP", "ETHSCI_SFP"};
const char* const sfpTypeTexts[] = {
    "ETHSCI_SFP_TYPE_NOT_APPLICABLE", "ETHSCI_SFP_TYPE_UNKNOWN", "ETHSCI_SFP_TYPE_ELECTRICAL",
    "ETHSCI_SFP_TYPE_OPTICAL",        "ETHSCI_SFP_TYPE_DAC",
};
const char* const linkSpeedTexts[] = {
    "ETHSCI_LINK_SPEED_NOT_APPLICABLE",
    "ETHSCI_LINK_SPEED_10M",
    "ETHSCI_LINK_SPEED_100M",
    "ETHSCI_LINK_SPEED_1G",
    "ETHSCI_LINK_SPEED_10G",
    "ETHSCI_LINK_SPEED_40G",
    "ETHSCI_LINK_SPEED_100G",
    "ETHSCI_LINK_SPEED_25G",
};
const char* const masterSlaveModeTexts[] = {
    "ETHSCI_MASTER_SLAVE_MODE_NOT_APPLICABLE",
    "ETHSCI_MASTER_SLAVE_MODE_MASTER",
    "ETHSCI_MASTER_SLAVE_MODE_SLAVE",
};
const char* const duplexModeTexts[] = {
    "ETHSCI_DUPLEX_MODE_NOT_APPLICABLE",
    "ETHSCI_DUPLEX_MODE_HALF_DUPLEX",
    "ETHSCI_DUPLEX_MODE_FULL_DUPLEX",
};
const char* const administrativeStateTexts[] = {"ADM_LOCKED", "ADM_UNLOCKED", "ADM_SHUTTINGDOWN"};
const char* const availabilityStatusTexts[] = {
    "IN_TEST",           "FAILED",
    "POWER_OFF",         "OFF_LINE",
    "OFF_DUTY",          "DEPENDENCY",
    "DEGRADED",          "NOT_INSTALLED",
    "LOG_FULL",          "DEPENDENCY_LOCKED",
    "DEPENDENCY_FAILED", "DEPENDENCY_SHUTTINGDOWN",
};
const char* const sfpKindTexts[] = {"SFP_UNKNOWN", "SFP_DAC", "SFP_OPTICAL", "SFP_CAT_X_CABLE",
                                    "CAT_X_CABLE"};
const char* const syncEFaultTexts[] = {
    "UNKNOWN",        "NO_FAULT",     "NO_SUPPORT_SFP_CAT_X_CABLE",
    "LOSS_OF_SIGNAL", "LOSS_OF_ESMC", "RJ45_1000_BASE_T_NOT_SLAVE",
};
const char* const operationalStateTexts[] = {"DISABLED", "ENABLED"};

// Port kind of an SFP port, indexed by SFP type.
const SfpKind sfpKindBySfpType[] = {
    SfpKind::SFP_UNKNOWN,      // not applicable
    SfpKind::SFP_UNKNOWN,      // unknown
    SfpKind::SFP_CAT_X_CABLE,  // electrical
    SfpKind::SFP_OPTICAL,      // optical
    SfpKind::SFP_DAC,          // DAC
};

template <typename E, std::size_t N>
const char* textOrEmpty(const char* const (&texts)[N], E value) {
    return textOf(texts, 0, static_cast<uint32_t>(value), "");
}

}  // namespace

SfpKind classifySfp(uint32_t portType, uint32_t sfpType) {
    if (portType == static_cast<uint32_t>(PortType::NOT_SFP)) {
        return SfpKind::CAT_X_CABLE;
    }
    constexpr uint32_t known = sizeof(sfpKindBySfpType) / sizeof(sfpKindBySfpType[0]);
    return sfpType < known ? sfpKindBySfpType[sfpType] : SfpKind::SFP_UNKNOWN;
}

const char* toChar(PortType type) {
    return textOrEmpty(portTypeTexts, type);
}
const char* toChar(SfpType type) {
    return textOrEmpty(sfpTypeTexts, type);
}
const char* toChar(LinkSpeed speed) {
    return textOrEmpty(linkSpeedTexts, speed);
}
const char* toChar(MasterSlaveMode mode) {
    return textOrEmpty(masterSlaveModeTexts, mode);
}
const char* toChar(DuplexMode mode) {
    return textOrEmpty(duplexModeTexts, mode);
}
const char* toChar(AdministrativeState state) {
    return textOrEmpty(administrativeStateTexts, state);
}
const char* toChar(AvailabilityStatus status) {
    return textOrEmpty(availabilityStatusTexts, status);
}
const char* toChar(SfpKind kind) {
    return textOrEmpty(sfpKindTexts, kind);
}
const char* toChar(SyncEFault fault) {
    return textOrEmpty(syncEFaultTexts, fault);
}

const char* toChar(OperationalState state) {
    return operationalStateTexts[state == OperationalState::ENABLED ? 1 : 0];
}

}  // namespace Sync
