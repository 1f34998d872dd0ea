// Messages written byte by byte, independently of the code under test: the message number in host
// order at 0, as the transport writes it, and every protocol word big-endian. Shared by the unit
// tests and the fuzz targets.
#ifndef SYNC_TEST_WIREBYTES_H
#define SYNC_TEST_WIREBYTES_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace Sync {
namespace Test {

// A message under construction: zero-filled, growing to whatever is written into it.
class Bytes {
  public:
    Bytes(uint32_t msgno, size_t size) : bytes_(size < 4 ? 4 : size, 0) {
        std::memcpy(bytes_.data(), &msgno, 4);
    }

    Bytes& be32(size_t offset, uint32_t value) {
        const uint8_t word[4] = {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8),
                                 uint8_t(value)};
        return raw(offset, word, 4);
    }
    // The references every header starts with, and the entity id some interfaces put after them.
    Bytes& refs(uint32_t procedureReference, uint32_t connectionReference) {
        return be32(4, procedureReference).be32(8, connectionReference);
    }
    Bytes& header(uint32_t procedureReference, uint32_t connectionReference, uint32_t entityId) {
        return refs(procedureReference, connectionReference).be32(12, entityId);
    }
    // Raw characters, without adding a NUL.
    Bytes& chars(size_t offset, const std::string& text) { return raw(offset, text.data(), text.size()); }
    Bytes& raw(size_t offset, const std::vector<uint8_t>& data) {
        return raw(offset, data.data(), data.size());
    }
    Bytes& raw(size_t offset, const void* data, size_t size) {
        if (bytes_.size() < offset + size)
            bytes_.resize(offset + size, 0);
        if (size > 0)
            std::memcpy(bytes_.data() + offset, data, size);
        return *this;
    }
    // Cuts (or zero-extends) the message to size bytes.
    Bytes& resize(size_t size) {
        bytes_.resize(size, 0);
        return *this;
    }

    size_t size() const { return bytes_.size(); }
    const std::vector<uint8_t>& get() const { return bytes_; }
    operator const std::vector<uint8_t>&() const { return bytes_; }

  private:
    std::vector<uint8_t> bytes_;
};

// The message number followed by the given bytes.
inline std::vector<uint8_t> wire(uint32_t msgno, const std::vector<uint8_t>& rest) {
    return Bytes(msgno, 4).raw(4, rest).get();
}

// The message number followed by size bytes of data.
inline std::vector<uint8_t> wire(uint32_t msgno, const uint8_t* data, size_t size) {
    return Bytes(msgno, 4).raw(4, data, size).get();
}

// The big-endian word at offset; 0 past the end.
inline uint32_t be32At(const std::vector<uint8_t>& bytes, size_t offset) {
    if (offset + 4 > bytes.size())
        return 0;
    const uint8_t* b = bytes.data() + offset;
    return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
}

// The message number as the transport wrote it; 0 for a message too short to hold one.
inline uint32_t msgnoOf(const std::vector<uint8_t>& bytes) {
    uint32_t msgno = 0;
    if (bytes.size() >= 4)
        std::memcpy(&msgno, bytes.data(), 4);
    return msgno;
}

}  // namespace Test
}  // namespace Sync

#endif
