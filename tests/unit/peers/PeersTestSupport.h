// Shared by the tests of the simulated peers: one dbus-daemon for the whole program, messages written
// by hand (number in host order, big-endian words and texts at fixed offsets), and received messages
// as bytes.
#ifndef SYNC_TEST_PEERSTESTSUPPORT_H
#define SYNC_TEST_PEERSTESTSUPPORT_H

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "MessageBuffer.h"
#include "PrivateBus.h"
#include "WireBuffer.h"

namespace SyncPeers {

class BusEnvironment : public ::testing::Environment {
  public:
    void SetUp() override { bus = std::make_unique<PrivateBus>(); }
    void TearDown() override { bus.reset(); }
    inline static std::unique_ptr<PrivateBus> bus;
};
inline const auto* const busEnvironment = ::testing::AddGlobalTestEnvironment(new BusEnvironment);

inline WireBuffer message(uint32_t msgno, size_t size, const std::vector<std::pair<size_t, uint32_t>>& words,
                          const std::vector<std::pair<size_t, std::string>>& texts = {}) {
    WireBuffer bytes(msgno, size);
    for (const auto& w : words)
        bytes.putBe32(w.first, w.second);
    for (const auto& t : texts)
        bytes.putBytes(t.first, t.second.data(), t.second.size());
    return bytes;
}

// The bytes of a received message, which is released.
inline WireBuffer take(void* msg) {
    const auto* b = static_cast<const uint8_t*>(msg);
    WireBuffer copy(std::vector<uint8_t>(b, b + Sync::Platform::MessageBuffer::size(msg)));
    Sync::Platform::MessageBuffer::release(msg);
    return copy;
}

}  // namespace SyncPeers

#endif
