// The chain with nothing simulated: a grandmaster ptp4l at the far end, the node's ptp4l, sync-clockd
// on its socket, the daemon, sync-portd and sync-esmcd on a private bus, and what tshark reads on the
// far end of each veth link.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include "WireLab.h"

namespace {

using namespace std::chrono_literals;
using E2e::EsmcDecoded;

class PtpWireTest : public ::testing::Test {
  protected:
    static constexpr int kPorts = 2;

    // The grandmaster and the node's ptp4l, sync-clockd on the node's socket, sync-portd serving two
    // fronthaul ports from the kernel, the daemon and sync-esmcd: up when every port's PDUs carry the
    // grandmaster's clockClass 6 (SSM 0x2).
    void SetUp() override {
        ASSERT_TRUE(lab_.ready()) << "cannot make network namespaces, veth links or captures (root needed)";
        lab_.startGrandmaster();
        lab_.startNode();
        lab_.start("sync-portd", {SYNC_PORTD_PATH, "--ports", lab_.writePorts(kPorts)});
        lab_.start("sync-clockd", {SYNC_CLOCKD_PATH, "--uds", lab_.nodeSocket()});
        ASSERT_TRUE(lab_.startDaemon()) << lab_.outputs();
        lab_.start("sync-esmcd", {SYNC_ESMCD_PATH, "--clock-mac", "02:00:5e:10:00:ff"});
        ASSERT_TRUE(lab_.awaitSsm(0x2, 40s)) << "no PDUs with SSM 0x2 on every port\n" << lab_.outputs();
    }
    // Every PDU since mark() carries one of the qualities, in the order given, each after the first at
    // least once.
    ::testing::AssertionResult sequence(const std::vector<std::pair<unsigned, unsigned>>& codes) {
        for (size_t i = 0; i < kPorts; ++i) {
            size_t at = 0;
            bool seen = true;  // the quality before may have had no PDU since mark()
            for (const EsmcDecoded& pdu : lab_.since(i)) {
                const std::pair<unsigned, unsigned> got{pdu.ssm, pdu.enhancedSsm};
                if (at + 1 < codes.size() && got == codes[at + 1] && seen)
                    ++at, seen = false;
                if (got != codes[at])
                    return ::testing::AssertionFailure() << "port " << i + 1 << ": " << pdu.ssm << "/"
                                                         << pdu.enhancedSsm << " out of turn in " << trail(i);
                seen = true;
            }
            if (at + 1 != codes.size() || !seen)
                return ::testing::AssertionFailure() << "port " << i + 1 << ": reached " << at + 1 << " of "
                                                     << codes.size() << " qualities";
        }
        return ::testing::AssertionSuccess();
    }
    std::string trail(size_t i) const {
        std::string text;
        for (const EsmcDecoded& pdu : lab_.since(i))
            text += " " + std::to_string(pdu.ssm) + "/" + std::to_string(pdu.enhancedSsm);
        return text;
    }
    E2e::WireLab lab_{kPorts};
};

// clockClass 6 is PRTC: SSM 0x2 (QL-PRC under option I) with enhanced SSM 0x20; 150 is SSU-A (0x4);
// no grandmaster is the free-running equipment clock, QL-SEC (0xB).
constexpr std::pair<unsigned, unsigned> PRTC{0x2, 0x20}, SSU_A{0x4, 0xFF}, SEC{0xB, 0xFF};

TEST_F(PtpWireTest, GrandmasterClassChangeLossAndReturnAndTheNodesPtp4lRestartedReachTheWire) {
    lab_.mark();
    const double changed = E2e::EsmcCapture::now();
    ASSERT_TRUE(lab_.setClockClass(150));
    ASSERT_TRUE(lab_.awaitSsm(0x4, 10s)) << lab_.outputs();
    for (size_t i = 0; i < kPorts; ++i) {
        const std::vector<EsmcDecoded> pdus = lab_.since(i);
        const auto first =
            std::find_if(pdus.begin(), pdus.end(), [](const EsmcDecoded& p) { return p.ssm == 0x4; });
        ASSERT_NE(first, pdus.end());
        EXPECT_LT(first->time - changed, 2.0) << "port " << i + 1;
        EXPECT_TRUE(first->event);
    }
    EXPECT_TRUE(sequence({PRTC, SSU_A}));

    lab_.mark();
    lab_.process("grandmaster ptp4l").stop();
    ASSERT_TRUE(lab_.awaitSsm(0xB, 15s)) << lab_.outputs();
    lab_.startGrandmaster();
    ASSERT_TRUE(lab_.awaitSsm(0x2, 30s)) << lab_.outputs();
    EXPECT_TRUE(sequence({SSU_A, SEC, PRTC}));

    // The node's ptp4l killed and restarted: no reference and back, no output removed, no gap.
    lab_.mark();
    lab_.process("node ptp4l").kill();
    ASSERT_TRUE(lab_.awaitSsm(0xB, 10s)) << lab_.outputs();
    lab_.startNode();
    ASSERT_TRUE(lab_.awaitSsm(0x2, 30s)) << lab_.outputs();
    EXPECT_TRUE(sequence({PRTC, SEC, PRTC}));
    EXPECT_EQ(lab_.process("sync-esmcd").output().find("removed"), std::string::npos) << lab_.outputs();
    for (size_t i = 0; i < kPorts; ++i) {
        const std::vector<EsmcDecoded> pdus = lab_.since(i);
        for (size_t k = 1; k < pdus.size(); ++k)
            EXPECT_LE(pdus[k].time - pdus[k - 1].time, 1.5) << "port " << i + 1 << " fell silent";
    }
}

}  // namespace
