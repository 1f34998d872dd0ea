// The command server turned hostile: requests whose packed arguments run past the message or lack
// their final NUL, answers cut short, unknown numbers. The daemon answers every request it cannot
// read with its usage text, traces what it dropped, and the next command is answered as before.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HostileRoad.h"

namespace {

using E2e::HostileCase;
using E2e::HostileRoad;
using SyncTools::CommandServer;
using SyncTools::WireBuffer;

constexpr uint32_t kHeader = 8;
constexpr const char* kUnpackFailed = "calling unpack_args() failed [unpack_args() != UNPACK_OK]";

// A SYNC_COLI_REQ carrying `packed` after a `len` word of the given value.
WireBuffer request(uint32_t len, const std::string& packed, size_t extra = 0) {
    WireBuffer message(CommandServer::SYNC_COLI_REQ, kHeader + packed.size() + extra);
    message.putHost32(4, len);
    message.putBytes(kHeader, packed.data(), packed.size());
    for (size_t i = kHeader + packed.size(); i < message.size(); ++i)
        message.put8(i, 'x');
    return message;
}

std::string unfitText(uint32_t len, size_t size) {
    return "packed arguments of " + std::to_string(len) + " bytes do not fit the " + std::to_string(size) +
           "-byte message";
}

TEST(CommandHostileTest, UnreadableRequestsGetTheUsageAndChangeNothing) {
    HostileRoad road;
    ASSERT_TRUE(road.start()) << road.why();
    CommandServer& command = road.command();
    const std::string packed = std::string("synclumovcontrol") + '\0' + "info" + '\0' + "all" + '\0';

    std::vector<HostileCase> cases = HostileCase::empties(command.id());
    const std::vector<HostileCase> cut =
        HostileCase::truncations({{CommandServer::SYNC_COLI_REG_CMD_RSP, "SYNC_COLI_REG_CMD_RSP", 8}});
    cases.insert(cases.end(), cut.begin(), cut.end());
    const size_t answered = cases.size();
    cases.push_back(
        {"request of its number only", WireBuffer(CommandServer::SYNC_COLI_REQ, 4), unfitText(0, 4)});
    cases.push_back({"request whose len runs past the message", request(100, packed),
                     unfitText(100, kHeader + packed.size())});
    cases.push_back({"request whose len is 2^32-1", request(0xFFFFFFFF, packed),
                     unfitText(0xFFFFFFFF, kHeader + packed.size())});
    cases.push_back(
        {"request without its final NUL", request(packed.size() - 1, packed.substr(0, packed.size() - 1)),
         "packed arguments of " + std::to_string(packed.size() - 1) + " bytes end without a NUL"});
    const size_t unreadable = cases.size();
    cases.push_back({"unknown message number", WireBuffer(0x9B607, 16), HostileCase::unknownText(0x9B607)});

    for (size_t i = 0; i < cases.size(); ++i) {
        const bool isRequest = i >= answered && i < unreadable;
        // Besides the warning on the bad bytes, an unreadable request gets the ERROR every failed unpacking
        // gives.
        if (isRequest)
            road.expectTrace(kUnpackFailed);
        road.runTable({cases[i]}, command.id(), [&](const WireBuffer& bytes) {
            command.sendRaw(road.daemonId(), bytes);
            if (!isRequest)
                return;
            // The answer comes before the next command is sent, so it cannot pass for that one's.
            for (int turn = 0; turn < 600 && !command.answer().complete; ++turn)
                command.processOnce(100);
            EXPECT_TRUE(command.answer().complete);
            EXPECT_NE(command.answer().text().find("Incorrect number of arguments: 0"), std::string::npos)
                << command.answer().text();
        });
    }

    // Bytes past the packed arguments are not read: the padded request is answered in full.
    command.sendRaw(road.daemonId(), request(packed.size(), packed, 64));
    for (int turn = 0; turn < 600 && !command.answer().complete; ++turn)
        command.processOnce(100);
    EXPECT_NE(command.answer().text().find("Subscribing EthernetPort MO"), std::string::npos)
        << command.answer().text();

    road.checkStillServes();
    road.checkTraces();
}

}  // namespace
