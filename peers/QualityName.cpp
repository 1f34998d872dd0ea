#include "QualityName.h"

#include <strings.h>

#include <cstring>

namespace SyncPeers {

namespace {

const char* const NAMES[] = {"PRC",  "PRS",         "STU_OR_UNK", "SSU_A_OR_TNC", "SSU_B", "ST2",
                             "ST3E", "ST3_OR_EEC2", "SEC_OR_EEC", "DEPRECATED",   "PROV",  "DNU_OR_DUS",
                             "INV",  "TCU_02",      "QL_UNKNOWN", "UNKNOWN",      "SMC",   "PRTC",
                             "GNSS", "EPRTC",       "EEEC",       "EPRC"};
static_assert(sizeof NAMES / sizeof NAMES[0] == QualityName::LAST - QualityName::FIRST + 1,
              "one name per quality");

}  // namespace

const char* QualityName::of(uint32_t quality) {
    return quality >= FIRST && quality <= LAST ? NAMES[quality - FIRST] : "UNKNOWN";
}

std::optional<uint32_t> QualityName::parse(const std::string& name) {
    for (uint32_t quality = FIRST; quality <= LAST; ++quality)
        if (name.size() == std::strlen(NAMES[quality - FIRST]) &&
            strncasecmp(name.c_str(), NAMES[quality - FIRST], name.size()) == 0)
            return quality;
    return std::nullopt;
}

std::string QualityName::all() {
    std::string text;
    for (const char* name : NAMES)
        text += std::string(text.empty() ? "" : ", ") + name;
    return text;
}

}  // namespace SyncPeers
