// sync-esmcd on real links: what tshark's ESMC dissector reads on the far end of each veth while
// the daemon, sync-sim and sync-esmcd run on a private bus.
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <thread>

#include "WireChain.h"

namespace {

using namespace std::chrono_literals;
using E2e::EsmcDecoded;
using E2e::NetLab;
using E2e::WireChain;

// Every PDU is a version 1 ESMC information or event PDU of 60 octets with a QL TLV and an extended
// QL TLV carrying these codes and the node's clock identity, and tshark has nothing to object to.
::testing::AssertionResult announce(const std::vector<EsmcDecoded>& pdus, unsigned ssm, unsigned enhanced) {
    for (const EsmcDecoded& pdu : pdus) {
        if (pdu.version != 1 || pdu.tlvTypes != "0x01,0x02" || pdu.length != 60 || !pdu.expert.empty() ||
            pdu.ssm != ssm || pdu.enhancedSsm != enhanced || pdu.clockId != WireChain::kClockId ||
            pdu.eeecs != 1 || pdu.eecs != 0)
            return ::testing::AssertionFailure()
                   << "PDU at " << std::fixed << pdu.time << ": version " << pdu.version << " TLVs "
                   << pdu.tlvTypes << " length " << pdu.length << " ssm " << pdu.ssm << " enhanced "
                   << pdu.enhancedSsm << " clock " << std::hex << pdu.clockId << std::dec << " eEEC "
                   << pdu.eeecs << " EEC " << pdu.eecs << " expert \"" << pdu.expert << "\"";
    }
    return ::testing::AssertionSuccess();
}

size_t mostInOneSecond(const std::vector<EsmcDecoded>& pdus) {
    size_t most = 0;
    for (const EsmcDecoded& first : pdus)
        most = std::max<size_t>(most, std::count_if(pdus.begin(), pdus.end(), [&](const EsmcDecoded& p) {
                                    return p.time >= first.time && p.time < first.time + 1.0;
                                }));
    return most;
}

double longestGap(const std::vector<EsmcDecoded>& pdus) {
    double longest = 0;
    for (size_t i = 1; i < pdus.size(); ++i)
        longest = std::max(longest, pdus[i].time - pdus[i - 1].time);
    return longest;
}

using EsmcWireTest = WireChain;

TEST_F(EsmcWireTest, InformationOncePerSecondAndAChangeAtOnceAsAnEvent) {
    EXPECT_GE(esmcdLines("rejected with code 1, no such network namespace"), 1u) << lab_.outputs();
    lab_.mark();
    lab_.pass(3200ms);
    for (size_t i = 0; i < kPorts; ++i) {
        const std::vector<EsmcDecoded> pdus = lab_.since(i);
        EXPECT_TRUE(pdus.size() == 3 || pdus.size() == 4) << pdus.size() << " PDUs in 3.2 s";
        EXPECT_TRUE(announce(pdus, 0x2, 0x21));
        EXPECT_TRUE(std::none_of(pdus.begin(), pdus.end(), [](const EsmcDecoded& p) { return p.event; }));
    }

    lab_.mark();
    const double changed = E2e::EsmcCapture::now();
    step("telecom-standard OPTION_II");
    ASSERT_TRUE(lab_.awaitSsm(0x1)) << lab_.outputs();
    for (size_t i = 0; i < kPorts; ++i) {
        const std::vector<EsmcDecoded> pdus = lab_.since(i, 2);
        const auto first =
            std::find_if(pdus.begin(), pdus.end(), [](const EsmcDecoded& p) { return p.ssm == 0x1; });
        ASSERT_NE(first, pdus.end());
        EXPECT_TRUE(first->event);
        EXPECT_LT(first->time - changed, 0.5) << "the event PDU goes at once, not with the next second";
        EXPECT_TRUE(announce({first, pdus.end()}, 0x1, 0x21));
    }
}

TEST_F(EsmcWireTest, BurstOfThirtyChangesGivesAtMostTenPdusAPerSecondEndingWithTheLast) {
    lab_.mark();
    for (int i = 0; i < 30; ++i) {
        step(i % 2 == 0 ? "clock-quality SSU_A" : "clock-quality SSU_B");
        std::this_thread::sleep_for(16ms);
    }
    ASSERT_TRUE(lab_.awaitSsm(0x8)) << lab_.outputs();
    lab_.pass(1500ms);
    for (size_t i = 0; i < kPorts; ++i) {
        const std::vector<EsmcDecoded> pdus = lab_.since(i);
        EXPECT_LE(mostInOneSecond(pdus), 10u);
        ASSERT_FALSE(pdus.empty());
        EXPECT_EQ(pdus.back().ssm, 0x8u);
        EXPECT_EQ(pdus.back().enhancedSsm, 0xFFu);
    }
}

TEST_F(EsmcWireTest, EsmcOffStopsEveryOutputAndOnSendsTheFirstPduAtOnce) {
    step("selection-mode QL_DISABLED");
    lab_.pass(1500ms);
    lab_.mark();
    lab_.pass(2500ms);
    for (size_t i = 0; i < kPorts; ++i)
        EXPECT_EQ(lab_.fresh(i), 0u) << "port " << i + 1 << " still transmits";

    const double on = E2e::EsmcCapture::now();
    step("selection-mode QL_ENABLED");
    ASSERT_TRUE(lab_.capture().waitUntil([&] { return lab_.fresh(0) > 0 && lab_.fresh(1) > 0; }, 5s));
    for (size_t i = 0; i < kPorts; ++i)
        EXPECT_LT(lab_.since(i).front().time - on, 0.5);
}

TEST_F(EsmcWireTest, LinkDownIsReportedOnceWhileTheOtherOutputGoesOnAndPdusResume) {
    ASSERT_TRUE(NetLab::ip(lab_.net().node(), "link set fh1 down"));
    lab_.pass(500ms);
    lab_.mark();
    lab_.pass(3500ms);
    EXPECT_EQ(lab_.fresh(0), 0u);
    EXPECT_GE(lab_.fresh(1), 3u);
    EXPECT_EQ(esmcdLines("fh1: cannot send"), 1u) << lab_.outputs();

    ASSERT_TRUE(NetLab::ip(lab_.net().node(), "link set fh1 up"));
    EXPECT_TRUE(lab_.capture().waitUntil([&] { return lab_.fresh(0) > 0; }, 3s)) << lab_.outputs();
    EXPECT_TRUE(announce(lab_.since(0), 0x2, 0x21));
}

TEST_F(EsmcWireTest, DaemonKilledAndRestartedLeavesTheStreamUntouchedThenHoldRunsOut) {
    lab_.mark();
    lab_.daemon().signal(SIGKILL);
    ASSERT_TRUE(lab_.daemon().waitExit(10s));
    ASSERT_TRUE(lab_.startDaemon()) << lab_.outputs();
    configure();
    ASSERT_TRUE(lab_.capture().waitUntil([&] { return esmcdLines("taken over") == 2; }, 30s))
        << lab_.outputs();
    lab_.pass(2s);
    for (size_t i = 0; i < kPorts; ++i) {
        const std::vector<EsmcDecoded> pdus = lab_.since(i);
        EXPECT_TRUE(announce(pdus, 0x2, 0x21));
        EXPECT_LE(longestGap(pdus), 1.5);
        EXPECT_TRUE(std::none_of(pdus.begin(), pdus.end(), [](const EsmcDecoded& p) { return p.event; }));
    }

    lab_.mark();
    const double killed = E2e::EsmcCapture::now();
    lab_.daemon().signal(SIGKILL);
    ASSERT_TRUE(lab_.awaitSsm(0xF, std::chrono::seconds(kHoldSeconds + 5))) << lab_.outputs();
    for (size_t i = 0; i < kPorts; ++i) {
        const std::vector<EsmcDecoded> pdus = lab_.since(i);
        const auto dnu =
            std::find_if(pdus.begin(), pdus.end(), [](const EsmcDecoded& p) { return p.ssm == 0xF; });
        ASSERT_NE(dnu, pdus.end());
        EXPECT_GE(dnu->time - killed, kHoldSeconds - 0.5);
        EXPECT_TRUE(dnu->event);
        EXPECT_TRUE(announce({dnu, pdus.end()}, 0xF, 0xFF));
    }
}

TEST_F(EsmcWireTest, EsmcdKilledAndRestartedIsBroughtBackByTheDaemon) {
    lab_.process("sync-esmcd").signal(SIGKILL);
    ASSERT_TRUE(lab_.process("sync-esmcd").waitExit(10s));
    lab_.pass(300ms);
    lab_.mark();
    startEsmcd();
    ASSERT_TRUE(lab_.capture().waitUntil([&] { return lab_.fresh(0) > 0 && lab_.fresh(1) > 0; }, 20s))
        << lab_.outputs();
    lab_.pass(1200ms);
    for (size_t i = 0; i < kPorts; ++i)
        EXPECT_TRUE(announce(lab_.since(i), 0x2, 0x21));
}

}  // namespace
