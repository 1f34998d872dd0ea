#include "EventStore.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace Sync::Platform {

EventStore::EventStore(uint32_t capacity, uint32_t entrySize)
    : ring_(capacity, Entry{{}, std::vector<uint8_t>(entrySize)}), entrySize_(entrySize) {}

bool EventStore::add(const void* data, uint32_t size, const timespec& stamp) {
    if (ring_.empty() || size > entrySize_ || (data == nullptr && size != 0)) {
        return false;
    }
    std::size_t slot = (oldest_ + count_) % ring_.size();
    if (count_ == ring_.size()) {
        oldest_ = (oldest_ + 1) % ring_.size();
    } else {
        ++count_;
    }
    Entry& entry = ring_[slot];
    entry.stamp = stamp;
    std::fill(entry.data.begin(), entry.data.end(), 0);
    if (size != 0) {
        std::memcpy(entry.data.data(), data, size);
    }
    return true;
}

const EventStore::Entry* EventStore::first() const {
    return count_ == 0 ? nullptr : &ring_[oldest_];
}

const EventStore::Entry* EventStore::next(const Entry* entry) const {
    long position = age(entry);
    if (position < 0 || static_cast<std::size_t>(position) + 1 >= count_) {
        return nullptr;
    }
    return &ring_[(oldest_ + static_cast<std::size_t>(position) + 1) % ring_.size()];
}

bool EventStore::holds(const Entry* entry) const {
    return age(entry) >= 0;
}

long EventStore::age(const Entry* entry) const {
    if (ring_.empty() || entry < ring_.data() || entry >= ring_.data() + ring_.size()) {
        return -1;
    }
    auto slot = static_cast<std::size_t>(entry - ring_.data());
    std::size_t position = (slot + ring_.size() - oldest_) % ring_.size();
    return position < count_ ? static_cast<long>(position) : -1;
}

void EventStore::format(const timespec& stamp, char* text, std::size_t size) {
    if (text == nullptr || size == 0) {
        return;
    }
    tm local{};
    char seconds[32] = "";
    if (localtime_r(&stamp.tv_sec, &local) != nullptr) {
        strftime(seconds, sizeof seconds, "%Y-%m-%d %H:%M:%S", &local);
    }
    snprintf(text, size, "%s.%03ld", seconds, stamp.tv_nsec / 1000000);
}

}  // namespace Sync::Platform
