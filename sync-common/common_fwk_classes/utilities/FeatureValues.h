// Value sets of the SyncE features: the kinds of feature, the REC state and selection process mode
// reported by the sync-control service, and where the cascaded EEC counts are taken from.
#ifndef SYNC_FEATURE_VALUES_H
#define SYNC_FEATURE_VALUES_H

#include <cstdint>

#include "common_fwk_classes/utilities/TextConversions.h"

namespace Sync {

// A feature's entity id equals its type. UNKNOWN names no feature; it is the text of any value
// outside the set.
enum class FeatureType : uint32_t {
    SYNCETH_INPUT = 0,
    SYNCETH_OUTPUT = 1,
    UNKNOWN = 2,
};

enum class RecState : uint32_t {
    DEACTIVATED = 0,
    ACTIVATED = 1,  // printed for every non-zero value
};

enum class SelectionProcessMode : uint32_t {
    QL_ENABLED = 1,
    QL_DISABLED = 2,
};

enum class UseNumberEecFrom : uint32_t {
    RECEIVED_TLV = 1,
    ADMIN_TLV1 = 2,
};

// Copied into one static buffer that the next call overwrites; "UNKNOWN" outside the set.
const char* toChar(FeatureType type);
// "DEACTIVATED" for 0, "ACTIVATED" for anything else.
const char* toChar(RecState state);
// "UNKNOWN" outside the set.
const char* toChar(SelectionProcessMode mode);
// Empty text and a WARNING trace outside the set.
const char* toChar(UseNumberEecFrom from);

}  // namespace Sync

#endif
