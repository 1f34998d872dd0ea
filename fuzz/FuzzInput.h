#ifndef SYNC_FUZZ_FUZZINPUT_H
#define SYNC_FUZZ_FUZZINPUT_H

#include <cstddef>
#include <cstdint>

// The fuzzer's bytes read front to back as a script of choices. Reading past the end yields zeros,
// so every input, however short, is a complete script.
class FuzzInput {
  public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    uint8_t byte() { return empty() ? 0 : data_[at_++]; }
    // Four bytes, big-endian.
    uint32_t word() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = value << 8 | byte();
        return value;
    }
    // Up to n bytes, fewer when the input ends.
    const uint8_t* take(size_t n, size_t& got) {
        got = n < size_ - at_ ? n : size_ - at_;
        const uint8_t* at = data_ + at_;
        at_ += got;
        return at;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

#endif
