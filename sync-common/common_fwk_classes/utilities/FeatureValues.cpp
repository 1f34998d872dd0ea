#include "common_fwk_classes/utilities/FeatureValues.h"

#include <cstdio>

#include "Macros.h"
#include "common_fwk_classes/utilities/TextTable.h"

namespace Sync {

namespace {

const char* const featureTypeTexts[] = {"SYNCETH_INPUT", "SYNCETH_OUTPUT", "UNKNOWN"};
const char* const recStateTexts[] = {"DEACTIVATED", "ACTIVATED"};
const char* const selectionProcessModeTexts[] = {"QL_ENABLED", "QL_DISABLED"};
const char* const useNumberEecFromTexts[] = {"RECEIVED_TLV", "ADMIN_TLV1"};

}  // namespace

const char* toChar(FeatureType type) {
    static char buffer[sizeof("SYNCETH_OUTPUT")];
    std::snprintf(buffer, sizeof(buffer), "%s",
                  textOf(featureTypeTexts, 0, static_cast<uint32_t>(type), "UNKNOWN"));
    return buffer;
}

const char* toChar(RecState state) {
    return recStateTexts[state == RecState::DEACTIVATED ? 0 : 1];
}

const char* toChar(SelectionProcessMode mode) {
    return textOf(selectionProcessModeTexts, 1, static_cast<uint32_t>(mode), "UNKNOWN");
}

const char* toChar(UseNumberEecFrom from) {
    const char* text = textOf(useNumberEecFromTexts, 1, static_cast<uint32_t>(from), nullptr);
    if (text == nullptr) {
        TRACE_WARNING("Unknown UseNumberEecFrom value of %d", static_cast<int>(from));
        return "";
    }
    return text;
}

}  // namespace Sync
