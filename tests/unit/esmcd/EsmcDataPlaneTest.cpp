// The data plane's hold and adoption on a clock the test moves, with the daemon's orders handed in
// directly: to the millisecond, what goes on each interface while the daemon is away, when the hold
// ends, and how a returning daemon's orders settle. Real links and tshark's view are the wire tests'.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
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

class EsmcDataPlaneTest : public ::testing::Test {
  protected:
    EsmcDataPlaneTest() {
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
    int sockets_ = 0;
    SyncPeers::DataPlaneClient client_{"esmcd-test"};
    EsmcDataPlane plane_{client_, EsmcDataPlane::Settings{},
                         [this] {
                             ++sockets_;
                             return std::make_unique<FakeSocket>(sent_, now_);
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
    EXPECT_EQ(sockets_, 2) << "the held output's socket goes on, no new one";

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

}  // namespace
