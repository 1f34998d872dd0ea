#ifndef SYNC_IEPCSI_IDBITMAP_H
#define SYNC_IEPCSI_IDBITMAP_H

#include <bitset>
#include <cstdint>

namespace Sync {
namespace Iepcsi {

// Identifiers 1 to 256 shared by all objects of one class: each takes the lowest free one when it is
// built and gives it back when it goes.
class IdBitmap {
  public:
    static constexpr uint32_t CAPACITY = 256;

    // The lowest free identifier, now taken; 0 when all are taken.
    uint32_t take();
    // Frees a taken identifier; 0, out-of-range and free identifiers are ignored.
    void release(uint32_t id);
    bool isTaken(uint32_t id) const;

  private:
    std::bitset<CAPACITY> taken_;  // bit i is identifier i + 1
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
