#ifndef SYNC_PLATFORM_EVENTSTORE_H
#define SYNC_PLATFORM_EVENTSTORE_H

#include <time.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Sync::Platform {

// A ring of the newest `capacity` time-stamped entries of `entrySize` bytes.
class EventStore {
  public:
    struct Entry {
        timespec stamp;
        std::vector<uint8_t> data;
    };

    EventStore(uint32_t capacity, uint32_t entrySize);

    // Adds an entry (size at most entrySize, zero-padded); a full store drops its oldest entry.
    bool add(const void* data, uint32_t size, const timespec& stamp);
    bool empty() const { return count_ == 0; }
    std::size_t size() const { return count_; }
    uint32_t entrySize() const { return entrySize_; }

    // Oldest first; null past the newest. next() also answers null for an entry not in this store.
    const Entry* first() const;
    const Entry* next(const Entry* entry) const;
    // Whether entry is one of the live entries of this store.
    bool holds(const Entry* entry) const;

    // "%Y-%m-%d %H:%M:%S.mmm" in local time, truncated to size bytes with a NUL.
    static void format(const timespec& stamp, char* text, std::size_t size);

  private:
    // Position of a live entry counted from the oldest; -1 when entry is not a live entry.
    long age(const Entry* entry) const;

    std::vector<Entry> ring_;
    uint32_t entrySize_;
    std::size_t oldest_ = 0;
    std::size_t count_ = 0;
};

}  // namespace Sync::Platform

#endif
