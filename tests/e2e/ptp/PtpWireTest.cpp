// The chain with nothing simulated on the clock's side: a grandmaster ptp4l at the far end, the
// node's ptp4l, sync-clockd on its socket, the daemon and sync-esmcd on a private bus (sync-sim only
// serves the port table), and what tshark reads on the far end of each veth link.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include "PtpChain.h"

namespace {

using namespace std::chrono_literals;
using E2e::EsmcDecoded;
using E2e::PtpLab;

class PtpWireTest : public ::testing::Test {
  protected:
    static constexpr int kPorts = E2e::PtpChain::kPorts;

    void SetUp() override {
        chain_ = std::make_unique<E2e::PtpChain>(
            E2e::PtpChain::Programs{SYNC_PORTD_PATH, SYNC_ESMCD_PATH, SYNC_CLOCKD_PATH});
        std::string why;
        ASSERT_TRUE(chain_->up(40s, why)) << why;
        lab_ = &chain_->lab();
        capture_ = &chain_->capture();
    }
    bool awaitSsm(unsigned ssm, std::chrono::milliseconds timeout) { return chain_->awaitSsm(ssm, timeout); }
    void mark() {
        for (size_t i = 0; i < kPorts; ++i)
            counts_[i] = capture_->count(i);
    }
    // Every PDU since mark() carries one of the qualities, in the order given, each after the first at
    // least once.
    ::testing::AssertionResult sequence(const std::vector<std::pair<unsigned, unsigned>>& codes) {
        for (size_t i = 0; i < kPorts; ++i) {
            size_t at = 0;
            bool seen = true;  // the quality before may have had no PDU since mark()
            for (const EsmcDecoded& pdu : capture_->decode(i, counts_[i])) {
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
        for (const EsmcDecoded& pdu : capture_->decode(i, counts_[i]))
            text += " " + std::to_string(pdu.ssm) + "/" + std::to_string(pdu.enhancedSsm);
        return text;
    }
    std::string outputs() const { return chain_->outputs(); }

    std::unique_ptr<E2e::PtpChain> chain_;
    PtpLab* lab_ = nullptr;
    E2e::EsmcCapture* capture_ = nullptr;
    size_t counts_[kPorts] = {};
};

// clockClass 6 is PRTC: SSM 0x2 (QL-PRC under option I) with enhanced SSM 0x20; 150 is SSU-A (0x4);
// no grandmaster is the free-running equipment clock, QL-SEC (0xB).
constexpr std::pair<unsigned, unsigned> PRTC{0x2, 0x20}, SSU_A{0x4, 0xFF}, SEC{0xB, 0xFF};

TEST_F(PtpWireTest, GrandmasterClassChangeLossAndReturnReachTheWire) {
    mark();
    const double changed = E2e::EsmcCapture::now();
    ASSERT_TRUE(lab_->setClockClass(150));
    ASSERT_TRUE(awaitSsm(0x4, 10s)) << outputs();
    for (size_t i = 0; i < kPorts; ++i) {
        const double at = capture_->firstWithSsm(i, counts_[i], 0x4);
        EXPECT_LT(at - changed, 2.0) << "port " << i + 1;
        const std::vector<EsmcDecoded> pdus = capture_->decode(i, counts_[i]);
        EXPECT_TRUE(
            std::find_if(pdus.begin(), pdus.end(), [](const EsmcDecoded& p) { return p.ssm == 0x4; })->event);
    }
    EXPECT_TRUE(sequence({PRTC, SSU_A}));

    mark();
    lab_->stopGrandmaster();
    ASSERT_TRUE(awaitSsm(0xB, 15s)) << outputs();
    lab_->startGrandmaster();
    ASSERT_TRUE(awaitSsm(0x2, 30s)) << outputs();
    EXPECT_TRUE(sequence({SSU_A, SEC, PRTC}));
}

TEST_F(PtpWireTest, NodePtp4lRestartedKeepsTheOutputsAndGoesToNoReferenceAndBack) {
    mark();
    lab_->killNode();
    ASSERT_TRUE(awaitSsm(0xB, 10s)) << outputs();
    lab_->startNode();
    ASSERT_TRUE(awaitSsm(0x2, 30s)) << outputs();
    EXPECT_TRUE(sequence({PRTC, SEC, PRTC}));
    EXPECT_EQ(chain_->esmcdOutput().text().find("removed"), std::string::npos) << outputs();
    for (size_t i = 0; i < kPorts; ++i) {
        const std::vector<EsmcDecoded> pdus = capture_->decode(i, counts_[i]);
        for (size_t k = 1; k < pdus.size(); ++k)
            EXPECT_LE(pdus[k].time - pdus[k - 1].time, 1.5) << "port " << i + 1 << " fell silent";
    }
}

}  // namespace
