#include "WireBuffer.h"

#include <algorithm>
#include <cstring>

namespace SyncPeers {

WireBuffer::WireBuffer(uint32_t msgno, size_t size) : bytes_(size < 4 ? 4 : size, 0) {
    putHost32(0, msgno);
}

WireBuffer::WireBuffer(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

void WireBuffer::putBytes(size_t offset, const void* data, size_t length) {
    if (offset + length > bytes_.size()) {
        bytes_.resize(offset + length, 0);
    }
    std::memcpy(bytes_.data() + offset, data, length);
}

void WireBuffer::putBe32(size_t offset, uint32_t value) {
    const uint8_t b[4] = {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)};
    putBytes(offset, b, sizeof b);
}

void WireBuffer::putHost32(size_t offset, uint32_t value) {
    putBytes(offset, &value, sizeof value);
}

void WireBuffer::putHost64(size_t offset, uint64_t value) {
    putBytes(offset, &value, sizeof value);
}

void WireBuffer::put8(size_t offset, uint8_t value) {
    putBytes(offset, &value, 1);
}

void WireBuffer::putText(size_t offset, size_t width, const std::string& text) {
    std::vector<uint8_t> field(width, 0);
    std::memcpy(field.data(), text.data(), text.size() < width ? text.size() : width);
    putBytes(offset, field.data(), width);
}

uint32_t WireBuffer::be32(size_t offset) const {
    if (offset + 4 > bytes_.size()) {
        return 0;
    }
    const uint8_t* b = bytes_.data() + offset;
    return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
}

uint32_t WireBuffer::host32(size_t offset) const {
    uint32_t value = 0;
    if (offset + 4 <= bytes_.size()) {
        std::memcpy(&value, bytes_.data() + offset, 4);
    }
    return value;
}

uint64_t WireBuffer::host64(size_t offset) const {
    uint64_t value = 0;
    if (offset + 8 <= bytes_.size()) {
        std::memcpy(&value, bytes_.data() + offset, 8);
    }
    return value;
}

uint8_t WireBuffer::u8(size_t offset) const {
    return offset < bytes_.size() ? bytes_[offset] : 0;
}

std::string WireBuffer::text(size_t offset, size_t width) const {
    if (offset >= bytes_.size()) {
        return std::string();
    }
    const size_t limit = std::min(width, bytes_.size() - offset);
    const char* start = reinterpret_cast<const char*>(bytes_.data() + offset);
    return std::string(start, strnlen(start, limit));
}

}  // namespace SyncPeers
