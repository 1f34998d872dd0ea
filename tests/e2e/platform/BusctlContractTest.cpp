// The mailbox contract on the bus, exercised from busctl alone: whatever a peer written in any
// language sees of a mailbox made by this project's library.
#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "PrivateBus.h"
#include "TestPeer.h"
#include "WarningSink.h"

namespace {

using E2e::ChildProcess;
using E2e::TestPeer;

std::vector<std::string>& warnings() {
    static std::vector<std::string> all;
    return all;
}

std::string idBusName(uint32_t id) {
    return "org.tavi.Id.m" + std::to_string(id);
}

class BusctlContractTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bus_.running()) << "dbus-daemon did not start";
        Sync::Platform::WarningSink::setCallback([](const char* text) { warnings().emplace_back(text); });
    }
    void TearDown() override { Sync::Platform::WarningSink::setCallback(nullptr); }

    // busctl on the private bus; `serve`, when given, keeps answering calls while busctl runs.
    ChildProcess::Result busctl(std::vector<std::string> args, TestPeer* serve = nullptr) {
        args.insert(args.begin(), {"busctl", "--address=" + bus_.address()});
        return ChildProcess::run(args, std::chrono::seconds(20), {}, serve ? serve->mailbox().fd() : -1,
                                 [serve] {
                                     serve->mailbox().process();
                                     return false;
                                 });
    }

    // Deliver(from, bytes) on mailbox `to`, with busctl's own signature and argument list.
    bool deliver(uint32_t to, const std::vector<std::string>& signatureAndArgs) {
        std::vector<std::string> args{
            "call", "--expect-reply=no", idBusName(to), "/org/tavi/Mailbox", "org.tavi.Mailbox", "Deliver"};
        args.insert(args.end(), signatureAndArgs.begin(), signatureAndArgs.end());
        return busctl(args).succeeded();
    }

    PrivateBus bus_;
};

TEST_F(BusctlContractTest, IdAnswersUnderTheIdAndTheEscapedMailboxNameOfOneOwner) {
    // A mailbox name and the bus name it must be reachable under.
    const std::pair<const char*, const char*> names[] = {
        {"Plain42", "org.tavi.Mailbox.Plain42"},
        {"contract-box.1", "org.tavi.Mailbox.contract_2dbox_2e1"},
        {"9lives", "org.tavi.Mailbox._39lives"},
        {"a b/\xc3\xbc", "org.tavi.Mailbox.a_20b_2f_c3_bc"},
        {"", "org.tavi.Mailbox._"}};
    for (const auto& [name, busName] : names) {
        SCOPED_TRACE(busName);
        TestPeer box(name);
        ASSERT_TRUE(box.ok());
        const auto ownerOf = [&](const std::string& reachable) {
            return busctl({"call", "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                           "GetNameOwner", "s", reachable})
                .output;
        };
        const std::string owner = ownerOf(idBusName(box.id()));
        EXPECT_EQ(owner.rfind("s \":", 0), 0u) << owner;
        EXPECT_EQ(ownerOf(busName), owner);
        for (const std::string& reachable : {idBusName(box.id()), std::string(busName)}) {
            const ChildProcess::Result id =
                busctl({"call", reachable, "/org/tavi/Mailbox", "org.tavi.Mailbox", "Id"}, &box);
            EXPECT_EQ(id.output, "u " + std::to_string(box.id()) + "\n") << reachable;
        }
    }
}

TEST_F(BusctlContractTest, DeliverArrivesWholeWithItsSenderAndMalformedOnesNeverReachTheApplication) {
    TestPeer box("contract-box");
    ASSERT_TRUE(box.ok());
    // Message number 4660 in host order, then eight payload bytes.
    const std::vector<uint8_t> expected{0x34, 0x12, 0, 0, 1, 2, 3, 4, 250, 251, 252, 255};
    ASSERT_EQ((TestPeer::Message{0, expected}.msgno()), 4660u);
    ASSERT_TRUE(deliver(box.id(), {"uay", "4242", "12", "52", "18", "0", "0", "1", "2", "3", "4", "250",
                                   "251", "252", "255"}));
    auto received = box.receive();
    ASSERT_TRUE(received);
    EXPECT_EQ(received->sender, 4242u);
    EXPECT_EQ(received->bytes, expected);
    EXPECT_TRUE(warnings().empty());

    // Calls the library must drop, busctl's signature and arguments after the method name: each is
    // read and dropped with a warning, and the next good one arrives.
    const std::vector<std::vector<std::string>> drops = {{"uay", "4242", "2", "52", "18"},
                                                         {"uay", "4242", "3", "52", "18", "0"},
                                                         {"uay", "4242", "0"},
                                                         {"s", "hello"},
                                                         {"u", "4242"},
                                                         {"ayu", "4", "52", "18", "0", "0", "4242"},
                                                         {"uays", "4242", "4", "52", "18", "0", "0", "x"}};
    for (const std::vector<std::string>& drop : drops) {
        SCOPED_TRACE(drop[0] + " " + drop[1]);
        warnings().clear();
        ASSERT_TRUE(deliver(box.id(), drop));
        for (auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
             warnings().empty() && std::chrono::steady_clock::now() < deadline;) {
            pollfd p{box.mailbox().fd(), POLLIN, 0};
            poll(&p, 1, 100);
            box.mailbox().process();
        }
        ASSERT_EQ(warnings().size(), 1u);
        ASSERT_TRUE(deliver(box.id(), {"uay", "7", "8", "53", "18", "0", "0", "9", "9", "9", "9"}));
        received = box.receive();
        ASSERT_TRUE(received);
        EXPECT_EQ(received->sender, 7u);
        EXPECT_EQ(received->bytes, (std::vector<uint8_t>{53, 18, 0, 0, 9, 9, 9, 9}));
        EXPECT_FALSE(box.receive(std::chrono::milliseconds(0)));
        EXPECT_EQ(warnings().size(), 1u);
    }
}

}  // namespace
