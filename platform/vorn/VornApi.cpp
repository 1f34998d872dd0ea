// The C API of vorn.h over EventStore. An iterator is an EventStore::Entry seen through an opaque
// type; it is checked against the store before use.
#include "EventStore.h"
#include "vorn.h"

#include <cstring>

using Sync::Platform::EventStore;

struct sync_vorn {
    EventStore store;
};

namespace {

sync_vorn_iter_t toIter(const EventStore::Entry* entry) {
    return reinterpret_cast<sync_vorn_iter_t>(entry);
}

const EventStore::Entry* toEntry(sync_vorn_iter_t it) {
    return reinterpret_cast<const EventStore::Entry*>(it);
}

}  // namespace

extern "C" {

sync_vorn_t* sync_vorn_create(uint32_t maxEntries, uint32_t entrySize) {
    if (maxEntries == 0 || entrySize == 0) {
        return nullptr;
    }
    return new sync_vorn{EventStore(maxEntries, entrySize)};
}

void sync_vorn_destroy(sync_vorn_t** store) {
    if (store != nullptr) {
        delete *store;
        *store = nullptr;
    }
}

int sync_vorn_add(sync_vorn_t* store, const void* data, uint32_t size) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return store != nullptr && store->store.add(data, size, now) ? 0 : -1;
}

int sync_vorn_empty(const sync_vorn_t* store) {
    return store == nullptr || store->store.empty();
}

sync_vorn_iter_t sync_vorn_first(const sync_vorn_t* store) {
    return store == nullptr ? nullptr : toIter(store->store.first());
}

sync_vorn_iter_t sync_vorn_next(const sync_vorn_t* store, sync_vorn_iter_t it) {
    return store == nullptr ? nullptr : toIter(store->store.next(toEntry(it)));
}

int sync_vorn_get(const sync_vorn_t* store, sync_vorn_iter_t it, void* data, uint32_t size,
                  struct timespec* stamp) {
    if (store == nullptr || !store->store.holds(toEntry(it))) {
        return -1;
    }
    const EventStore::Entry* entry = toEntry(it);
    uint32_t copied = size < store->store.entrySize() ? size : store->store.entrySize();
    if (data != nullptr && copied != 0) {
        std::memcpy(data, entry->data.data(), copied);
    } else {
        copied = 0;
    }
    if (stamp != nullptr) {
        *stamp = entry->stamp;
    }
    return static_cast<int>(copied);
}

char* sync_vorn_ts_2_str(const struct timespec* stamp, char* text, size_t size) {
    if (stamp == nullptr) {
        if (text != nullptr && size != 0) {
            text[0] = '\0';
        }
        return text;
    }
    EventStore::format(*stamp, text, size);
    return text;
}

}  // extern "C"
