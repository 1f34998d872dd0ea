// The mailbox contract on the bus, exercised from busctl alone: whatever a peer written in any
// language sees of a mailbox made by this project's library.
#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>
#include <string>
#include <vector>

#include "CaseName.h"
#include "ChildProcess.h"
#include "PrivateBus.h"
#include "TestPeer.h"
#include "WarningSink.h"

namespace {

using E2e::ChildProcess;
using E2e::TestPeer;

constexpr auto kCommandWait = std::chrono::seconds(20);
constexpr auto kArrivalWait = std::chrono::seconds(10);

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
        warnings().clear();
        Sync::Platform::WarningSink::setCallback([](const char* text) { warnings().emplace_back(text); });
    }
    void TearDown() override { Sync::Platform::WarningSink::setCallback(nullptr); }

    // busctl on the private bus; `serve`, when given, keeps answering calls while busctl runs.
    ChildProcess::Result busctl(std::vector<std::string> args, TestPeer* serve = nullptr) {
        args.insert(args.begin(), {"busctl", "--address=" + bus_.address()});
        if (serve == nullptr) {
            return ChildProcess::run(args, kCommandWait);
        }
        return ChildProcess::run(args, kCommandWait, {}, serve->mailbox().fd(), [serve] {
            serve->mailbox().process();
            return false;
        });
    }

    // The owner of busName, as busctl reports it.
    std::string ownerOf(const std::string& busName) {
        ChildProcess::Result r = busctl({"call", "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                         "org.freedesktop.DBus", "GetNameOwner", "s", busName});
        return r.succeeded() ? r.output : "(none: " + r.output + ")";
    }

    // Deliver(from, bytes) on mailbox `to`, with busctl's own signature and argument list.
    ChildProcess::Result deliver(uint32_t to, const std::vector<std::string>& signatureAndArgs) {
        std::vector<std::string> args{
            "call", "--expect-reply=no", idBusName(to), "/org/tavi/Mailbox", "org.tavi.Mailbox", "Deliver"};
        args.insert(args.end(), signatureAndArgs.begin(), signatureAndArgs.end());
        return busctl(args);
    }

    // Runs the mailbox's library until the library has reported `count` warnings in all.
    static bool serveUntilWarnings(TestPeer& peer, std::size_t count) {
        auto deadline = std::chrono::steady_clock::now() + kArrivalWait;
        while (warnings().size() < count && std::chrono::steady_clock::now() < deadline) {
            pollfd p{peer.mailbox().fd(), POLLIN, 0};
            poll(&p, 1, 100);
            peer.mailbox().process();
        }
        return warnings().size() >= count;
    }

    PrivateBus bus_;
};

TEST_F(BusctlContractTest, IdAnswersUnderBothNames) {
    TestPeer box("contract-box");
    ASSERT_TRUE(box.ok());
    for (const std::string& busName : {idBusName(box.id()), std::string("org.tavi.Mailbox.contract_2dbox")}) {
        std::vector<std::string> call{"call", busName, "/org/tavi/Mailbox", "org.tavi.Mailbox", "Id"};
        ChildProcess::Result r = busctl(call, &box);
        ASSERT_TRUE(r.succeeded()) << r.describe(call);
        EXPECT_EQ(r.output, "u " + std::to_string(box.id()) + "\n") << busName;
    }
}

// A mailbox name and the bus name it must be reachable under.
struct NameCase {
    const char* name;
    const char* busName;
};

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << '"' << c.name << '"';
}

class MailboxNameTest : public BusctlContractTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(MailboxNameTest, IdAndMailboxNamesHaveOneOwner) {
    TestPeer box(GetParam().name);
    ASSERT_TRUE(box.ok());
    const std::string owner = ownerOf(idBusName(box.id()));
    EXPECT_EQ(owner.rfind("s \":", 0), 0u) << owner;
    EXPECT_EQ(ownerOf(GetParam().busName), owner);
}

INSTANTIATE_TEST_SUITE_P(Escaping, MailboxNameTest,
                         ::testing::Values(NameCase{"Plain42", "org.tavi.Mailbox.Plain42"},
                                           NameCase{"contract-box.1", "org.tavi.Mailbox.contract_2dbox_2e1"},
                                           NameCase{"9lives", "org.tavi.Mailbox._39lives"},
                                           NameCase{"a b/\xc3\xbc", "org.tavi.Mailbox.a_20b_2f_c3_bc"},
                                           NameCase{"", "org.tavi.Mailbox._"}),
                         [](const ::testing::TestParamInfo<NameCase>& info) {
                             return E2e::caseName(info.param.busName + sizeof "org.tavi.Mailbox." - 1);
                         });

TEST_F(BusctlContractTest, DeliverFromBusctlArrivesWholeWithItsSender) {
    TestPeer box("contract-box");
    ASSERT_TRUE(box.ok());
    // Message number 4660 in host order, then eight payload bytes.
    const std::vector<uint8_t> expected{0x34, 0x12, 0, 0, 1, 2, 3, 4, 250, 251, 252, 255};
    ASSERT_EQ((TestPeer::Message{0, expected}.msgno()), 4660u);
    ChildProcess::Result r = deliver(box.id(), {"uay", "4242", "12", "52", "18", "0", "0", "1", "2", "3", "4",
                                                "250", "251", "252", "255"});
    ASSERT_TRUE(r.succeeded()) << r.output;

    auto received = box.receive(kArrivalWait);
    ASSERT_TRUE(received);
    EXPECT_EQ(received->sender, 4242u);
    EXPECT_EQ(received->bytes, expected);
    EXPECT_TRUE(warnings().empty());
}

// Deliver calls the library must drop: busctl's signature and arguments after the method name.
struct BadDeliver {
    const char* what;
    std::vector<std::string> args;
};

void PrintTo(const BadDeliver& c, std::ostream* os) {
    *os << c.what;
}

class MalformedDeliverTest : public BusctlContractTest, public ::testing::WithParamInterface<BadDeliver> {};

TEST_P(MalformedDeliverTest, NeverReachesTheApplicationAndTheNextGoodOneDoes) {
    TestPeer box("contract-box");
    ASSERT_TRUE(box.ok());

    ASSERT_TRUE(deliver(box.id(), GetParam().args).succeeded());
    // The warning shows the call was read and dropped before the good one is sent.
    ASSERT_TRUE(serveUntilWarnings(box, 1)) << GetParam().what;
    ASSERT_TRUE(deliver(box.id(), {"uay", "7", "8", "53", "18", "0", "0", "9", "9", "9", "9"}).succeeded());

    auto received = box.receive(kArrivalWait);
    ASSERT_TRUE(received);
    EXPECT_EQ(received->sender, 7u);
    EXPECT_EQ(received->bytes, (std::vector<uint8_t>{53, 18, 0, 0, 9, 9, 9, 9}));
    EXPECT_FALSE(box.receive(std::chrono::milliseconds(0)));
    EXPECT_EQ(warnings().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Drops, MalformedDeliverTest,
    ::testing::Values(BadDeliver{"two-byte payload", {"uay", "4242", "2", "52", "18"}},
                      BadDeliver{"three-byte payload", {"uay", "4242", "3", "52", "18", "0"}},
                      BadDeliver{"empty payload", {"uay", "4242", "0"}},
                      BadDeliver{"string instead", {"s", "hello"}}, BadDeliver{"sender only", {"u", "4242"}},
                      BadDeliver{"arguments swapped", {"ayu", "4", "52", "18", "0", "0", "4242"}},
                      BadDeliver{"one argument too many", {"uays", "4242", "4", "52", "18", "0", "0", "x"}}),
    [](const ::testing::TestParamInfo<BadDeliver>& info) { return E2e::caseName(info.param.what); });

}  // namespace
