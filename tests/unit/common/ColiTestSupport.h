// Shared by the command transport and command service tests: a fresh in-process mailbox per test, and
// command messages built and read byte by byte (host order), independently of the code under test.
#ifndef SYNC_TEST_COLITESTSUPPORT_H
#define SYNC_TEST_COLITESTSUPPORT_H

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "FakeTavi.h"
#include "HandlerTest.h"
#include "tavi.h"
#include "utilities/coli_common.h"

namespace Sync {
namespace Test {

// The argument strings one after the other, each with its NUL.
inline std::string packArgs(const std::vector<std::string>& args) {
    std::string packed;
    for (const std::string& arg : args)
        packed += arg + '\0';
    return packed;
}

// msgno, then len (host order), then data.
inline std::vector<uint8_t> coliMessage(uint32_t msgno, uint32_t len, const std::string& data) {
    return Bytes(msgno, 8 + data.size()).raw(4, &len, 4).chars(8, data);
}

inline std::vector<uint8_t> coliRequest(const std::vector<std::string>& args) {
    const std::string packed = packArgs(args);
    return coliMessage(0x9B604, static_cast<uint32_t>(packed.size()), packed);
}

// The text of a SYNC_COLI_IND or SYNC_COLI_RSP after checking that len matches the message.
inline std::string textOf(const FakeTavi::SentMessage& message) {
    const uint32_t len = message.word(4);
    EXPECT_EQ(8u + len, message.bytes.size()) << "len does not match the message size";
    EXPECT_GE(len, 1u);
    if (len < 1 || 8u + len > message.bytes.size())
        return std::string();
    EXPECT_EQ(0, message.bytes[8 + len - 1]) << "text without its NUL";
    return std::string(reinterpret_cast<const char*>(message.bytes.data()) + 8, len - 1);
}

// A process with its own mailbox on the fake transport and a command transport in its start state.
class ColiTransportTest : public ::testing::Test {
  protected:
    static constexpr uint32_t SERVER = 0x2002;

    void SetUp() override {
        coli_common_reset();
        ASSERT_TRUE(openFakeMailbox());
    }

    void TearDown() override {
        coli_common_reset();
        tavi_exit();
        FakeTavi::reset();
    }

    // The next message waiting in the own mailbox; the caller frees it.
    static void* receive() { return tavi_receive(nullptr, 0, TAVI_ANY_SENDER); }

    // Injects bytes as sent by sender and takes them out again as a received message.
    static void* received(uint32_t sender, const std::vector<uint8_t>& bytes) {
        EXPECT_TRUE(FakeTavi::inject(sender, bytes));
        return receive();
    }
};

}  // namespace Test
}  // namespace Sync

#endif
