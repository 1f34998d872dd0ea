#ifndef SYNC_E2E_HOSTILECASE_H
#define SYNC_E2E_HOSTILECASE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "WireBuffer.h"

namespace E2e {

// One row of a hostile peer's table: the bytes the peer sends and the one WARNING or ERROR text the
// daemon must trace for them (empty: the message is well formed enough to be taken, and no warning
// may name it).
struct HostileCase {
    std::string name;
    SyncTools::WireBuffer bytes;
    std::string expected;

    // A message a peer sends the daemon: its number, its name in the daemon's traces and the bytes
    // its layout needs.
    struct Kind {
        uint32_t msgno;
        const char* name;
        size_t size;
    };

    // The daemon's words for a message too short for its layout.
    static std::string shortText(const Kind& kind, size_t received, size_t needed);
    // The daemon's words for a message no interface knows.
    static std::string unknownText(uint32_t msgno);
    // The platform's words for a delivery of `size` bytes, less than a message number, from mailbox
    // `from`.
    static std::string emptyText(uint32_t from, size_t size);
    // A delivery of 0 and of 2 bytes: no message number at all.
    static std::vector<HostileCase> empties(uint32_t from);
    // The connection protocol's words for a management message its state does not expect.
    static std::string wrongStateText(uint32_t kind, uint32_t state);

    // For every kind: one byte short, and nothing but the message number.
    static std::vector<HostileCase> truncations(const std::vector<Kind>& kinds);
    // For every kind, at its size plus `extra` bytes, sent by mailbox `from` although only the
    // `other` side ("client", "server") sends it.
    static std::vector<HostileCase> sentByTheOtherSide(const std::vector<Kind>& kinds, uint32_t from,
                                                       const std::string& other, size_t extra = 0);
    // A message of `size` bytes for each number no interface knows.
    static std::vector<HostileCase> unknowns(const std::vector<uint32_t>& msgnos, size_t size);
    // The kind's own bytes (zero-filled) with `extra` bytes of garbage after its layout.
    static SyncTools::WireBuffer oversized(const Kind& kind, size_t extra);
};

}  // namespace E2e

#endif
