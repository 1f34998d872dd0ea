#include "common_fwk_classes/sci/LdnListPrimitive.h"

#include <algorithm>

#include "Macros.h"

namespace Sync {
namespace Sci {

LdnListPrimitive::LdnListPrimitive(const MessageDescriptor& descriptor, const char* entryLabel)
    : ServicePrimitive(descriptor, FIXED_SIZE), entryLabel_(entryLabel) {}

uint64_t LdnListPrimitive::requiredSize(const void* msg) const {
    return FIXED_SIZE + static_cast<uint64_t>(LDN_WIDTH) * getU8(msg, COUNT_OFFSET);
}

uint32_t LdnListPrimitive::packedSize(size_t count) {
    return static_cast<uint32_t>(FIELD_OFFSET + 4 + LDN_WIDTH * std::min(count, MAX_ENTRIES));
}

uint8_t LdnListPrimitive::packedCount() const {
    return static_cast<uint8_t>(std::min(ldns_.size(), MAX_ENTRIES));
}

void* LdnListPrimitive::packList() const {
    const uint8_t count = packedCount();
    if (count < ldns_.size())
        TRACE_WARNING("%s: %zu list entries, only the first %u are sent", getName(), ldns_.size(),
                      static_cast<unsigned>(count));
    void* msg = allocServiceMessage(packedSize(count));
    if (msg == nullptr)
        return nullptr;
    putU8(msg, COUNT_OFFSET, count);
    for (size_t i = 0; i < count; ++i) {
        putText(msg, LIST_OFFSET + LDN_WIDTH * i, LDN_WIDTH, ldns_[i]);
        TRACE_DEBUG("%s[%zu] : %s", entryLabel_, i, ldns_[i].c_str());
    }
    return msg;
}

void LdnListPrimitive::unpackList(const void* msg) {
    const uint8_t count = getU8(msg, COUNT_OFFSET);
    ldns_.clear();
    for (size_t i = 0; i < count; ++i) {
        ldns_.push_back(getText(msg, LIST_OFFSET + LDN_WIDTH * i, LDN_WIDTH));
        TRACE_DEBUG("%s[%zu] : %s", entryLabel_, i, ldns_.back().c_str());
    }
}

}  // namespace Sci
}  // namespace Sync
