// The data plane on a clock the test moves, with the daemon's orders and the interface watch's news
// handed in directly: to the millisecond, what goes on each interface while the daemon is away, when
// the hold ends, how a returning daemon's orders settle, and when an output that could not be
// reached transmits. Real links and tshark's view are the wire tests'.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DataPlaneClient.h"
#include "EsmcDataPlane.h"
#include "FakeSocket.h"

namespace {

using namespace std::chrono_literals;
using SyncEsmcd::EsmcDataPlane;
using Order = EsmcDataPlane::Order;
using State = EsmcDataPlane::State;
using TimePoint = EsmcDataPlane::TimePoint;
using Link = SyncSys::LinkSource::Link;

class EsmcDataPlaneTest : public ::testing::Test {
  protected:
    EsmcDataPlaneTest() {
        network_.indexes = {{"ns/fh1", 1}, {"ns/fh2", 2}};
        plane_.connectionChanged(State::CONNECTED);
        for (uint32_t id : {11u, 12u}) {
            EXPECT_EQ(plane_.ordered(order(Order::OUTPUT_CREATE, id)), 0u);
            plane_.ordered(order(Order::TRANSMIT_SSM, id, 0x2));
            plane_.ordered(order(Order::ESMC_CONTROL, id));
        }
        runTo(now_ + 2500ms);
    }

    // An order for output `id` on interface fh<last digit of id>: ESMC on, or `ssm` to transmit.
    static Order order(Order::Kind kind, uint32_t id, uint32_t ssm = 0) {
        Order made;
        made.kind = kind;
        made.procedureReference = id;
        made.interfaceName = "fh" + std::to_string(id % 10);
        made.macAddress = "02:00:5e:00:00:01";
        made.networkNameSpace = "ns";
        made.ssmCode = ssm;
        made.enhancedSsmCode = 0xFF;
        made.output = 1;
        return made;
    }
    // Output 13's order, on fh3 of namespace "late".
    static Order late(Order::Kind kind) {
        Order made = order(kind, 13);
        made.networkNameSpace = "late";
        return made;
    }
    static Link link(const std::string& name, int index) {
        Link made;
        made.index = index;
        made.name = name;
        made.up = made.carrier = true;
        return made;
    }
    // Runs the plane at every moment it asks for, up to `until`.
    void runTo(TimePoint until) {
        for (TimePoint due = plane_.work(); due <= until; due = plane_.work())
            now_ = std::max(now_, due);
        now_ = until;
    }
    // What went on `interfaceName` from `from` on: runs of one SSM (hex, '*' when an event PDU
    // started the run), the longest pause between two PDUs and when the last run began.
    struct Seen {
        std::string runs;
        std::chrono::milliseconds longestGap{0};
        TimePoint lastRunAt;
    };
    Seen since(TimePoint from, const std::string& interfaceName) const {
        Seen seen;
        const Sent* previous = nullptr;
        for (const Sent& pdu : sent_) {
            if (pdu.at < from || pdu.interfaceName != interfaceName)
                continue;
            if (previous == nullptr || previous->ssm() != pdu.ssm()) {
                char run[8];
                std::snprintf(run, sizeof run, "%s%X%s", seen.runs.empty() ? "" : " ", pdu.ssm(),
                              pdu.event() ? "*" : "");
                seen.runs += run;
                seen.lastRunAt = pdu.at;
            }
            if (previous != nullptr)
                seen.longestGap =
                    std::max(seen.longestGap,
                             std::chrono::duration_cast<std::chrono::milliseconds>(pdu.at - previous->at));
            previous = &pdu;
        }
        return seen;
    }

    TimePoint now_ = TimePoint(1h);
    std::vector<Sent> sent_;
    FakeNetwork network_;
    std::vector<FakeSocket*> sockets_;  // of each output, in the order they were made
    SyncPeers::DataPlaneClient client_{"esmcd-test"};
    EsmcDataPlane plane_{client_, EsmcDataPlane::Settings{},
                         [this] {
                             auto socket = std::make_unique<FakeSocket>(sent_, now_, network_);
                             sockets_.push_back(socket.get());
                             return socket;
                         },
                         [this] { return now_; }};
};

TEST_F(EsmcDataPlaneTest, AnAbsentDaemonsOutputsKeepTheirLastOrdersForTheHoldTimeThenAnnounceDoNotUse) {
    const TimePoint away = now_;
    plane_.connectionChanged(State::WAIT_FOR_SERVER);
    runTo(away + 60s - 1ms);
    for (const char* interfaceName : {"fh1", "fh2"}) {
        SCOPED_TRACE(interfaceName);
        EXPECT_EQ(since(away, interfaceName).runs, "2");
        EXPECT_EQ(since(away, interfaceName).longestGap, 1s);
    }
    runTo(away + 60s);
    for (const char* interfaceName : {"fh1", "fh2"}) {
        SCOPED_TRACE(interfaceName);
        EXPECT_EQ(since(away, interfaceName).runs, "2 F*");
        EXPECT_EQ(since(away, interfaceName).lastRunAt, away + 60s);
    }
    runTo(away + 200s);
    EXPECT_EQ(since(away, "fh1").runs, "2 F*") << "do-not-use until a daemon says otherwise";
    EXPECT_EQ(plane_.outputCount(), 2u);
}

TEST_F(EsmcDataPlaneTest, AnSsmBeyondItsFourBitsIsDroppedAndTheLastOneStays) {
    const TimePoint from = now_;
    plane_.ordered(order(Order::TRANSMIT_SSM, 11, 0x10));
    plane_.ordered(order(Order::TRANSMIT_SSM, 12, 0xF));
    runTo(from + 2s);
    EXPECT_EQ(since(from, "fh1").runs, "2");
    EXPECT_EQ(since(from, "fh2").runs, "F*");
}

TEST_F(EsmcDataPlaneTest, AReturningDaemonTakesItsOutputOverWithoutAGapAndItsFirstOrdersSettle) {
    const TimePoint away = now_;
    plane_.connectionChanged(State::WAIT_FOR_SERVER);
    runTo(away + 5s);
    // Its first orders: do-not-use for a moment, as a restarting daemon sends until it knows better.
    const TimePoint back = now_;
    plane_.connectionChanged(State::CONNECTED);
    EXPECT_EQ(plane_.ordered(order(Order::OUTPUT_CREATE, 21)), 0u);
    plane_.ordered(order(Order::TRANSMIT_SSM, 21, 0xF));
    plane_.ordered(order(Order::ESMC_CONTROL, 21));
    runTo(back + 20ms);
    plane_.ordered(order(Order::TRANSMIT_SSM, 21, 0x2));
    runTo(back + 519ms);
    plane_.ordered(order(Order::TRANSMIT_SSM, 21, 0x4));
    runTo(back + 1018ms);
    EXPECT_EQ(since(away, "fh1").runs, "2") << "a change within the settle window waits for it";
    runTo(back + 1019ms);
    EXPECT_EQ(since(away, "fh1").runs, "2 4*");
    EXPECT_EQ(since(away, "fh1").lastRunAt, back + 1019ms);
    EXPECT_EQ(since(away, "fh1").longestGap, 1s);
    EXPECT_EQ(sockets_.size(), 2u) << "the held output's socket goes on, no new one";

    // Settled, an order reaches the wire at once; fh2, not created again, keeps its last orders for
    // the hold time after the daemon came back, then stops.
    plane_.ordered(order(Order::TRANSMIT_SSM, 21, 0x2));
    runTo(back + 60s - 1ms);
    EXPECT_EQ(since(away, "fh1").runs, "2 4* 2*");
    EXPECT_EQ(since(away, "fh1").lastRunAt, back + 1019ms);
    EXPECT_EQ(since(away, "fh2").runs, "2");
    EXPECT_EQ(plane_.outputCount(), 2u);
    runTo(back + 62s);
    EXPECT_EQ(plane_.outputCount(), 1u);
    EXPECT_EQ(since(back + 60s, "fh2").runs, "") << "nothing on fh2 after the hold";
}

TEST_F(EsmcDataPlaneTest, ARefusedOutputKeepsItsOrdersAndTransmitsThemAtOnceWhenItsPlaceCanBeReached) {
    const struct {
        const char* what;
        const char* missing;               // at the create
        uint32_t code;                     // the create's answer
        std::function<uint32_t()> appear;  // the answer to the change request it sends, if any
    } cases[] = {
        {"the namespace is made", "late", 1,
         [&] {
             network_.missing.clear();
             plane_.namespaceChanged("late", {2, 2});
             return 0u;
         }},
        {"the interface is made", "late/fh3", 2,
         [&] {
             network_.missing.clear();
             plane_.linkChanged("late", link("fh3", 3), true);
             return 0u;
         }},
        {"a change request comes", "late", 1,
         [&] {
             EXPECT_EQ(plane_.ordered(late(Order::OUTPUT_CHANGE)), 1u)
                 << "the real reason, not unknown output";
             network_.missing.clear();
             return plane_.ordered(late(Order::OUTPUT_CHANGE));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        network_.missing = {c.missing};
        EXPECT_EQ(plane_.ordered(late(Order::OUTPUT_CREATE)), c.code);
        plane_.ordered(order(Order::TRANSMIT_SSM, 13, 0x4));
        plane_.ordered(order(Order::ESMC_CONTROL, 13));
        const int opens = sockets_.back()->opens;
        const TimePoint refused = now_;
        runTo(refused + 5s);
        EXPECT_EQ(since(refused, "fh3").runs, "");
        EXPECT_EQ(sockets_.back()->opens, opens) << "nothing is tried while nothing appeared";
        const std::string line = plane_.status().back();
        EXPECT_EQ(line.rfind("status: output 13 ", 0), 0u) << line;
        EXPECT_NE(line.find(SyncEsmcd::describe(static_cast<SyncEsmcd::ConfigError>(c.code))),
                  std::string::npos);
        EXPECT_NE(plane_.summary().find(", 1 refused (output 13 on late/fh3 since "), std::string::npos)
            << plane_.summary();

        const TimePoint appeared = now_;
        EXPECT_EQ(c.appear(), 0u);
        runTo(appeared + 1500ms);
        EXPECT_EQ(since(appeared, "fh3").runs, "4");
        EXPECT_EQ(since(appeared, "fh3").lastRunAt, appeared) << "its last orders go at once";
        plane_.ordered(order(Order::OUTPUT_REMOVE, 13));
    }
}

TEST_F(EsmcDataPlaneTest, AnOutputWhoseInterfaceOrNamespaceGoesWaitsWithoutATimerAndTransmitsAtOnceWhenBack) {
    const auto interfaceBack = [&] {
        network_.missing.clear();
        plane_.linkChanged("ns", link("fh1", 1), true);
    };
    const struct {
        const char* what;
        std::function<void()> go, back;
        const char* reason;
    } cases[] = {
        {"interface deleted",
         [&] {
             network_.missing = {"ns/fh1"};
             plane_.linkChanged("ns", link("fh1", 1), false);
         },
         interfaceBack, "(code 2)"},
        {"interface gone, found by a send", [&] { network_.missing = {"ns/fh1"}; }, interfaceBack,
         "(code 2)"},
        {"interface renamed", [&] { plane_.linkChanged("ns", link("fh9", 1), true); }, interfaceBack,
         "(code 2)"},
        {"namespace deleted, then made anew",
         [&] {
             network_.missing = {"ns"};
             plane_.namespaceChanged("ns", {});
         },
         [&] {
             network_.missing.clear();
             network_.identity = {2, 2};
             plane_.namespaceChanged("ns", {2, 2});
         },
         "(code 1)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TimePoint gone = now_;
        c.go();
        runTo(gone + 1500ms);
        const int opens = sockets_[0]->opens;
        runTo(gone + 10s);
        EXPECT_EQ(since(gone + 1ms, "fh1").runs, "");
        EXPECT_EQ(sockets_[0]->opens, opens) << "nothing is tried while nothing came back";
        EXPECT_NE(plane_.status()[1].find(c.reason), std::string::npos) << plane_.status()[1];

        const TimePoint back = now_;
        c.back();
        runTo(back + 1500ms);
        EXPECT_EQ(since(back, "fh1").runs, "2");
        EXPECT_EQ(since(back, "fh1").lastRunAt, back);
    }
    // The namespace the socket is in, told again, changes nothing.
    const int opens = sockets_[0]->opens;
    plane_.namespaceChanged("ns", {2, 2});
    EXPECT_EQ(sockets_[0]->opens, opens);
}

}  // namespace
