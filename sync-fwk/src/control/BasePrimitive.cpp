#include "control/BasePrimitive.h"

#include <endian.h>

#include <algorithm>
#include <cstring>

#include "Macros.h"
#include "tavi.h"

namespace Sync {

BasePrimitive::BasePrimitive(uint32_t primitiveId, uint32_t msgno, const char* name, uint32_t messageSize)
    : primitiveId_(primitiveId),
      msgno_(msgno),
      name_(name != nullptr ? name : "?"),
      messageSize_(messageSize) {}

BasePrimitive::~BasePrimitive() = default;

void* BasePrimitive::constructMessage() {
    return nullptr;
}

void BasePrimitive::fetchPrimitive(void* msg) {}

uint64_t BasePrimitive::requiredSize(const void* msg) const {
    return messageSize_;
}

void* BasePrimitive::allocMessage() const {
    return allocMessage(messageSize_);
}

void* BasePrimitive::allocMessage(uint32_t size) const {
    void* msg = tavi_alloc(size, msgno_);
    if (msg == nullptr) {
        TRACE_ERROR("tavi_alloc of %u bytes for %s failed", size, name_);
        return nullptr;
    }
    if (size >= HEADER_SIZE) {
        putU32(msg, PROCEDURE_REFERENCE_OFFSET, procedureReference_);
        putU32(msg, CONNECTION_REFERENCE_OFFSET, connectionReference_);
    }
    return msg;
}

void BasePrimitive::readHeader(const void* msg) {
    procedureReference_ = getU32(msg, PROCEDURE_REFERENCE_OFFSET);
    connectionReference_ = getU32(msg, CONNECTION_REFERENCE_OFFSET);
}

bool BasePrimitive::fits(const void* msg, size_t offset, size_t count) {
    const uint32_t size = msg != nullptr ? tavi_size(msg) : 0;
    if (offset > size || count > size - offset) {
        TRACE_ERROR("Coding error: field of %zu bytes at offset %zu lies outside the %u-byte message!", count,
                    offset, size);
        return false;
    }
    return true;
}

bool BasePrimitive::getBytes(const void* msg, size_t offset, void* out, size_t count) {
    if (!fits(msg, offset, count)) {
        std::memset(out, 0, count);
        return false;
    }
    std::memcpy(out, static_cast<const char*>(msg) + offset, count);
    return true;
}

bool BasePrimitive::putBytes(void* msg, size_t offset, const void* in, size_t count) {
    if (!fits(msg, offset, count))
        return false;
    std::memcpy(static_cast<char*>(msg) + offset, in, count);
    return true;
}

uint32_t BasePrimitive::getU32(const void* msg, size_t offset) {
    uint32_t raw;
    getBytes(msg, offset, &raw, sizeof raw);
    return be32toh(raw);
}

void BasePrimitive::putU32(void* msg, size_t offset, uint32_t value) {
    const uint32_t raw = htobe32(value);
    putBytes(msg, offset, &raw, sizeof raw);
}

int32_t BasePrimitive::getS32(const void* msg, size_t offset) {
    return static_cast<int32_t>(getU32(msg, offset));
}

void BasePrimitive::putS32(void* msg, size_t offset, int32_t value) {
    putU32(msg, offset, static_cast<uint32_t>(value));
}

uint16_t BasePrimitive::getU16(const void* msg, size_t offset) {
    uint16_t raw;
    getBytes(msg, offset, &raw, sizeof raw);
    return be16toh(raw);
}

void BasePrimitive::putU16(void* msg, size_t offset, uint16_t value) {
    const uint16_t raw = htobe16(value);
    putBytes(msg, offset, &raw, sizeof raw);
}

uint64_t BasePrimitive::getU64(const void* msg, size_t offset) {
    uint64_t raw;
    getBytes(msg, offset, &raw, sizeof raw);
    return be64toh(raw);
}

void BasePrimitive::putU64(void* msg, size_t offset, uint64_t value) {
    const uint64_t raw = htobe64(value);
    putBytes(msg, offset, &raw, sizeof raw);
}

uint8_t BasePrimitive::getU8(const void* msg, size_t offset) {
    uint8_t value;
    getBytes(msg, offset, &value, sizeof value);
    return value;
}

void BasePrimitive::putU8(void* msg, size_t offset, uint8_t value) {
    putBytes(msg, offset, &value, sizeof value);
}

uint32_t BasePrimitive::getHostU32(const void* msg, size_t offset) {
    uint32_t value;
    getBytes(msg, offset, &value, sizeof value);
    return value;
}

void BasePrimitive::putHostU32(void* msg, size_t offset, uint32_t value) {
    putBytes(msg, offset, &value, sizeof value);
}

std::string BasePrimitive::getText(const void* msg, size_t offset, size_t width) {
    const uint32_t size = msg != nullptr ? tavi_size(msg) : 0;
    if (offset >= size)
        return std::string();
    const size_t available = std::min<size_t>(width, size - offset);
    const char* field = static_cast<const char*>(msg) + offset;
    const void* nul = std::memchr(field, '\0', available);
    return std::string(field, nul != nullptr ? static_cast<const char*>(nul) - field : available);
}

void BasePrimitive::putText(void* msg, size_t offset, size_t width, const std::string& text) {
    if (width == 0 || !fits(msg, offset, width))
        return;
    char* field = static_cast<char*>(msg) + offset;
    std::memset(field, 0, width);
    std::memcpy(field, text.data(), std::min(text.size(), width - 1));
}

}  // namespace Sync
