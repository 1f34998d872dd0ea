#include "RoadWire.h"

#include <cstring>

namespace Sync {
namespace Bench {

RoadWire::RoadWire(uint32_t msgno, size_t size) : bytes_(size < 4 ? 4 : size, 0) {
    std::memcpy(bytes_.data(), &msgno, 4);
}

RoadWire& RoadWire::be32(size_t offset, uint32_t value) {
    const uint8_t word[4] = {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)};
    return bytes(offset, word, 4);
}

RoadWire& RoadWire::refs(uint32_t procedureReference, uint32_t connectionReference) {
    return be32(4, procedureReference).be32(8, connectionReference);
}

RoadWire& RoadWire::bytes(size_t offset, const uint8_t* data, size_t length) {
    if (offset + length > bytes_.size()) {
        bytes_.resize(offset + length, 0);
    }
    std::memcpy(bytes_.data() + offset, data, length);
    return *this;
}

RoadWire& RoadWire::text(size_t offset, const std::string& value) {
    return bytes(offset, reinterpret_cast<const uint8_t*>(value.data()), value.size());
}

uint32_t RoadWire::msgnoOf(const std::vector<uint8_t>& message) {
    uint32_t msgno = 0;
    std::memcpy(&msgno, message.data(), message.size() < 4 ? message.size() : 4);
    return msgno;
}

uint32_t RoadWire::be32At(const std::vector<uint8_t>& message, size_t offset) {
    if (offset + 4 > message.size()) {
        return 0;
    }
    const uint8_t* b = message.data() + offset;
    return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
}

}  // namespace Bench
}  // namespace Sync
