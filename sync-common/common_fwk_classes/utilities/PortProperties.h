// Properties reported for Ethernet ports, and the port kind that combines port type and SFP type
// for the SyncE capability rules.
#ifndef SYNC_PORT_PROPERTIES_H
#define SYNC_PORT_PROPERTIES_H

#include <cstdint>

#include "common_fwk_classes/utilities/TextConversions.h"

namespace Sync {

enum class PortType : uint32_t {
    NOT_SFP = 0,
    SFP = 1,
};

enum class SfpType : uint32_t {
    NOT_APPLICABLE = 0,
    UNKNOWN = 1,
    ELECTRICAL = 2,
    OPTICAL = 3,
    DAC = 4,
};

enum class LinkSpeed : uint32_t {
    NOT_APPLICABLE = 0,
    SPEED_10M = 1,
    SPEED_100M = 2,
    SPEED_1G = 3,
    SPEED_10G = 4,
    SPEED_40G = 5,
    SPEED_100G = 6,
    SPEED_25G = 7,
};

enum class MasterSlaveMode : uint32_t {
    NOT_APPLICABLE = 0,
    MASTER = 1,
    SLAVE = 2,
};

enum class DuplexMode : uint32_t {
    NOT_APPLICABLE = 0,
    HALF_DUPLEX = 1,
    FULL_DUPLEX = 2,
};

enum class AdministrativeState : uint32_t {
    LOCKED = 0,
    UNLOCKED = 1,
    SHUTTINGDOWN = 2,
};

enum class OperationalState : uint32_t {
    DISABLED = 0,  // printed for every value but ENABLED
    ENABLED = 1,
};

enum class AvailabilityStatus : uint32_t {
    IN_TEST = 0,
    FAILED = 1,
    POWER_OFF = 2,
    OFF_LINE = 3,
    OFF_DUTY = 4,
    DEPENDENCY = 5,
    DEGRADED = 6,
    NOT_INSTALLED = 7,
    LOG_FULL = 8,
    DEPENDENCY_LOCKED = 9,
    DEPENDENCY_FAILED = 10,
    DEPENDENCY_SHUTTINGDOWN = 11,
};

// What kind of physical connection a port offers, as far as SyncE cares.
enum class SfpKind : uint32_t {
    SFP_UNKNOWN = 0,
    SFP_DAC = 1,
    SFP_OPTICAL = 2,
    SFP_CAT_X_CABLE = 3,  // electrical RJ45 SFP
    CAT_X_CABLE = 4,      // plain RJ45 port
};

enum class SyncEFault : uint32_t {
    UNKNOWN = 0,
    NO_FAULT = 1,
    NO_SUPPORT_SFP_CAT_X_CABLE = 2,
    LOSS_OF_SIGNAL = 3,
    LOSS_OF_ESMC = 4,
    RJ45_1000_BASE_T_NOT_SLAVE = 5,
};

// Port type 0 is a plain RJ45 port whatever the SFP type; any other port type, including the
// not-yet-reported 0xFFFFFFFF, is an SFP classified by its SFP type (SFP_UNKNOWN if not known).
SfpKind classifySfp(uint32_t portType, uint32_t sfpType);

// Texts of the reported values; an empty text for a value beyond the set.
const char* toChar(PortType type);
const char* toChar(SfpType type);
const char* toChar(LinkSpeed speed);
const char* toChar(MasterSlaveMode mode);
const char* toChar(DuplexMode mode);
const char* toChar(AdministrativeState state);
const char* toChar(AvailabilityStatus status);
const char* toChar(SfpKind kind);
const char* toChar(SyncEFault fault);
// "ENABLED" for 1, "DISABLED" for anything else.
const char* toChar(OperationalState state);

}  // namespace Sync

#endif
