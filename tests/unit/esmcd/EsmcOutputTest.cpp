// One output driven by a clock the test moves: a link down retried once a second and at once when its
// carrier is back, an interface made anew bound again; the data plane's tests wait for gone ones, the
// wire tests pin the schedule, bursts, the hold's expiry and the PDUs' values on real links.
#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <vector>

#include "EsmcOutput.h"
#include "FakeSocket.h"

namespace {

using namespace std::chrono_literals;
using SyncEsmcd::EsmcOutput;
using SyncEsmcd::EsmcPdu;
using TimePoint = EsmcOutput::TimePoint;

class EsmcOutputTest : public ::testing::Test {
  protected:
    EsmcOutputTest() {
        auto socket = std::make_unique<FakeSocket>(sent_, now_, network_);
        socket_ = socket.get();
        output_ =
            std::make_unique<EsmcOutput>(std::move(socket), "ns", "fh1", EsmcPdu::Mac{2, 0, 0x5e, 0, 0, 1});
        EXPECT_EQ(output_->reach(now_), SyncEsmcd::CONFIG_OK);
    }
    // Runs the output at every moment it asks for, up to `until`.
    void runTo(TimePoint until) {
        for (TimePoint due = output_->due(); due <= until; due = output_->due()) {
            now_ = std::max(now_, due);
            output_->work(now_);
        }
        now_ = until;
    }
    static EsmcPdu::Quality quality(uint8_t ssm) {
        EsmcPdu::Quality q;
        q.ssmCode = ssm;
        return q;
    }
    TimePoint start_ = TimePoint(1h);
    TimePoint now_ = start_;
    std::vector<Sent> sent_;
    FakeNetwork network_;
    FakeSocket* socket_;
    std::unique_ptr<EsmcOutput> output_;
};

TEST(EsmcPduTest, FrameLayoutOctetByOctet) {
    EsmcPdu::Quality q;
    q.ssmCode = 0x2;
    q.enhancedSsmCode = 0x21;
    q.clockIdentity = 0x0102030405060708ull;
    q.flag = 0x3;
    q.cascadedEeecs = 4;
    q.cascadedEecs = 5;
    const EsmcPdu::Frame frame = EsmcPdu::build({0xA, 0xB, 0xC, 0xD, 0xE, 0xF}, q, true);
    const EsmcPdu::Frame expected = {
        0x01, 0x80, 0xC2, 0x00, 0x00, 0x02, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F,  // destination, source
        0x88, 0x09, 0x0A, 0x00, 0x19, 0xA7, 0x00, 0x01,                          // slow protocol, ITU
        0x18, 0x00, 0x00, 0x00,                                                  // version 1, event
        0x01, 0x00, 0x04, 0x02,                                                  // QL TLV
        0x02, 0x00, 0x14, 0x21, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,  // extended QL TLV
        0x03, 0x04, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00};                         // then zero padding
    EXPECT_EQ(frame, expected);
    EXPECT_EQ(EsmcPdu::build({}, q, false)[20], 0x10);
}

TEST_F(EsmcOutputTest, ALinkDownIsTriedOnceASecondAndAtOnceWithCarrierAnInterfaceMadeAnewIsBoundAgain) {
    output_->order(quality(0x2), now_);
    output_->order(true, now_);
    socket_->failWith = ENETDOWN;
    runTo(start_ + 2500ms);
    EXPECT_EQ(output_->due(), start_ + 3s) << "a link down is tried once a second, not in a loop";
    EXPECT_NE(output_->status().find("error Network is down"), std::string::npos);
    socket_->failWith = 0;
    output_->carrierUp(now_);
    runTo(start_ + 2500ms);
    ASSERT_EQ(sent_.size(), 1u);
    EXPECT_EQ(sent_[0].at, start_ + 2500ms) << "carrier back: tried at once";

    // An interface made anew under its name is bound again before the send is tried once more.
    network_.indexes["ns/fh1"] = 2;
    runTo(start_ + 3500ms);
    EXPECT_EQ(sent_.size(), 2u);
    EXPECT_EQ(socket_->opens, 2);

    EXPECT_NE(output_->status().find("error -"), std::string::npos);

    // What the status socket reports: one error per PDU that did not go (at 0, 1 and 2 s), and the
    // PDUs that went by kind (information at 2.5, 3.5 and 4.5 s, the change at once).
    output_->order(quality(0x4), now_);
    runTo(start_ + 4600ms);
    const nlohmann::ordered_json report = output_->report();
    EXPECT_EQ(report["sendErrors"], 3);
    EXPECT_EQ(report["pdus"]["information"], 3);
    EXPECT_EQ(report["pdus"]["event"], 1);
    EXPECT_EQ(report["ssm"], 4);
}

}  // namespace
