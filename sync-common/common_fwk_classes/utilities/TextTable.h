// Lookup of an enumeration's text in its constant table. Each value set keeps one array of texts
// indexed from its first value; anything outside the array gets the set's fallback text, so raw
// values received from peers never index past a table.
#ifndef SYNC_TEXT_TABLE_H
#define SYNC_TEXT_TABLE_H

#include <cstddef>
#include <cstdint>

namespace Sync {

template <std::size_t N>
const char* textOf(const char* const (&texts)[N], uint32_t first, uint32_t value, const char* fallback) {
    if (value < first || value - first >= N) {
        return fallback;
    }
    return texts[value - first];
}

}  // namespace Sync

#endif
