#ifndef SYNC_PEERS_WIREBUFFER_H
#define SYNC_PEERS_WIREBUFFER_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace SyncPeers {

// A message as the endpoints build and read it: plain bytes, written and read at explicit offsets.
// Endpoints never use the daemon's own message classes, so that a layout fault on either side shows
// up in the tests. Reads past the end yield 0 or an empty text instead of failing, so an endpoint can
// inspect whatever the daemon sent.
class WireBuffer {
  public:
    WireBuffer() = default;
    // A zero-filled message of `size` bytes with msgno in host order at offset 0.
    WireBuffer(uint32_t msgno, size_t size);
    explicit WireBuffer(std::vector<uint8_t> bytes);

    uint32_t msgno() const { return host32(0); }
    size_t size() const { return bytes_.size(); }
    const std::vector<uint8_t>& bytes() const { return bytes_; }
    std::vector<uint8_t>& bytes() { return bytes_; }

    void putBe32(size_t offset, uint32_t value);
    void putHost32(size_t offset, uint32_t value);
    void putHost64(size_t offset, uint64_t value);
    void put8(size_t offset, uint8_t value);
    // Copies at most `width` bytes of text; a text of width bytes or more fills the field without NUL.
    void putText(size_t offset, size_t width, const std::string& text);
    void putBytes(size_t offset, const void* data, size_t length);

    uint32_t be32(size_t offset) const;
    uint32_t host32(size_t offset) const;
    uint64_t host64(size_t offset) const;
    uint8_t u8(size_t offset) const;
    // The text up to its NUL, never past the field or the message.
    std::string text(size_t offset, size_t width) const;

  private:
    std::vector<uint8_t> bytes_;
};

}  // namespace SyncPeers

#endif
