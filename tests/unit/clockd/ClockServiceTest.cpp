// The clock service's tracking on a test clock, with the PTP stack's answers written by the test:
// when a grandmaster counts, when it is lost, and when a silent stack stops counting. What a real
// ptp4l reports, and the qualities on the wire, are the PTP wire test's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ClockService.h"
#include "PtpManagement.h"
#include "SyncControlServer.h"

namespace {

using namespace std::chrono_literals;
using SyncClockd::ClockService;
using SyncClockd::PtpManagement;

constexpr uint32_t PRTC = 18, SSU_A = 4, NO_REFERENCE = 9;

std::vector<uint8_t> answer(uint16_t id, std::vector<uint8_t> data) {
    return PtpManagement::request(PtpManagement::RESPONSE, id, 1, 0, data);
}
std::vector<uint8_t> parent(uint8_t clockClass) {
    std::vector<uint8_t> data(32);
    data[19] = clockClass;
    data[24] = 0x4a;  // grandmaster identity
    return answer(PtpManagement::PARENT_DATA_SET, data);
}
std::vector<uint8_t> port(uint8_t state) {
    std::vector<uint8_t> data(26);
    data[9] = 1;  // port number
    data[10] = state;
    return answer(PtpManagement::PORT_DATA_SET, data);
}
std::vector<uint8_t> timeStatus(bool gmPresent) {
    std::vector<uint8_t> data(50);
    data[41] = gmPresent;
    return answer(PtpManagement::TIME_STATUS_NP, data);
}

class ClockServiceTest : public ::testing::Test {
  protected:
    ClockServiceTest()
        : clock_(
              server_, ClockService::Settings{},
              [this](const std::vector<uint8_t>& datagram) {
                  std::string why;
                  const auto request = PtpManagement::decode(datagram.data(), datagram.size(), why);
                  asked_.push_back(request ? request->managementId : 0);
                  return 0;
              },
              [this] { return now_; }) {}

    SyncPeers::SyncControlServer server_{"clockd-test"};
    ClockService::TimePoint now_ = ClockService::TimePoint(1h);
    std::vector<uint16_t> asked_;
    ClockService clock_;
};

TEST_F(ClockServiceTest, AGrandmasterCountsWhileAPortFollowsItAndTheStackAnswers) {
    using Ids = std::vector<uint16_t>;
    const auto SLAVE = PtpManagement::SLAVE, UNCALIBRATED = PtpManagement::UNCALIBRATED,
               LISTENING = PtpManagement::LISTENING;
    const struct {
        const char* what;
        std::chrono::milliseconds after;  // then a poll
        std::vector<std::vector<uint8_t>> answers;
        uint32_t quality;
        bool rec;
        Ids askedAtOnce;  // what the answers made it ask before the next poll
    } steps[] = {
        {"no answer yet", 0ms, {}, NO_REFERENCE, false, {}},
        {"half the picture; a port that found a grandmaster has its parent data set asked again",
         1s,
         {port(SLAVE), parent(6)},
         NO_REFERENCE,
         false,
         {PtpManagement::PARENT_DATA_SET, PtpManagement::TIME_STATUS_NP}},
        {"grandmaster found", 0ms, {timeStatus(true)}, PRTC, true, {}},
        {"clockClass changes", 1s, {parent(150), port(SLAVE), timeStatus(true)}, SSU_A, true, {}},
        {"UNCALIBRATED follows a grandmaster too", 1s, {port(UNCALIBRATED)}, SSU_A, true, {}},
        {"lost when the port stops following, though the parent data set still names it",
         1s,
         {port(LISTENING), parent(150), timeStatus(true)},
         NO_REFERENCE,
         true,
         {}},
        {"a port following again: the parent data set is asked at once and waited for",
         1s,
         {port(UNCALIBRATED), timeStatus(true)},
         NO_REFERENCE,
         true,
         {PtpManagement::PARENT_DATA_SET, PtpManagement::TIME_STATUS_NP}},
        {"its answer", 0ms, {parent(150)}, SSU_A, true, {}},
        {"no grandmaster present", 1s, {timeStatus(false)}, NO_REFERENCE, true, {}},
        {"present again", 0ms, {timeStatus(true)}, SSU_A, true, {}},
        {"the stack silent for 2 s still counts", 2s, {}, SSU_A, true, {}},
        {"silent for 3 s it does not; the REC stays", 1s, {}, NO_REFERENCE, true, {}},
        {"back, its port first",
         1s,
         {port(SLAVE), timeStatus(true)},
         NO_REFERENCE,
         true,
         {PtpManagement::PARENT_DATA_SET, PtpManagement::TIME_STATUS_NP}},
        {"whole again", 0ms, {parent(6)}, PRTC, true, {}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        now_ += step.after;
        if (step.after > 0ms) {
            EXPECT_EQ(clock_.work(), now_ + 1s) << "polled once a second";
        }
        asked_.clear();
        for (const std::vector<uint8_t>& datagram : step.answers)
            clock_.received(datagram.data(), datagram.size());
        EXPECT_EQ(clock_.quality(), step.quality);
        EXPECT_EQ(clock_.recCreated(), step.rec);
        EXPECT_EQ(asked_, step.askedAtOnce);
    }
}

}  // namespace
