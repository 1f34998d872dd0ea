// A message as the benchmarks' peers write it: zero-filled bytes with the number in host order at 0
// and every later word big-endian, written at explicit offsets (never through the daemon's own
// message classes).
#ifndef SYNC_BENCH_ROADWIRE_H
#define SYNC_BENCH_ROADWIRE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Sync {
namespace Bench {

class RoadWire {
  public:
    RoadWire(uint32_t msgno, size_t size);

    RoadWire& be32(size_t offset, uint32_t value);
    // procedureReference and connectionReference.
    RoadWire& refs(uint32_t procedureReference, uint32_t connectionReference);
    RoadWire& bytes(size_t offset, const uint8_t* data, size_t length);
    RoadWire& text(size_t offset, const std::string& value);

    const std::vector<uint8_t>& bytes() const { return bytes_; }

    static uint32_t msgnoOf(const std::vector<uint8_t>& message);
    // The big-endian word at offset; 0 past the end.
    static uint32_t be32At(const std::vector<uint8_t>& message, size_t offset);

  private:
    std::vector<uint8_t> bytes_;
};

}  // namespace Bench
}  // namespace Sync

#endif
