#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "CommandServer.h"
#include "Mailbox.h"
#include "PeersTestSupport.h"

namespace SyncPeers {
namespace {

// A daemon that went away leaves its registration behind, but its command is no longer offered:
// a request to its mailbox would wait for an answer that cannot come.
TEST(CommandServerTest, ARegistrationLapsesWhenItsDaemonGoes) {
    ASSERT_TRUE(BusEnvironment::bus->running());
    CommandServer server("command-server-test");
    ASSERT_TRUE(server.open()) << server.lastError();
    std::unique_ptr<Sync::Platform::Mailbox> daemon =
        Sync::Platform::Mailbox::create("command-server-daemon");
    ASSERT_NE(nullptr, daemon);
    const std::string packed("synclumovcontrol\0info\0", 22);
    WireBuffer registration(CommandServer::SYNC_COLI_REG_CMD_REQ, 8);
    registration.putHost32(4, static_cast<uint32_t>(packed.size()));
    registration.putBytes(8, packed.data(), packed.size());
    daemon->send(registration.bytes().data(), static_cast<uint32_t>(registration.size()), server.id());
    ASSERT_NE(nullptr, server.waitForRegistration("synclumovcontrol", 3000));

    daemon.reset();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (server.findRegistration("synclumovcontrol") != nullptr &&
           std::chrono::steady_clock::now() < deadline)
        server.processOnce(5);
    EXPECT_EQ(nullptr, server.findRegistration("synclumovcontrol"));
    EXPECT_EQ(1u, server.registrations().size());
}

}  // namespace
}  // namespace SyncPeers
