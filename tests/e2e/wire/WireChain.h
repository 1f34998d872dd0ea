#ifndef SYNC_E2E_WIRECHAIN_H
#define SYNC_E2E_WIRECHAIN_H

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "CapturedOutput.h"
#include "ChildProcess.h"
#include "DaemonProcess.h"
#include "EsmcCapture.h"
#include "NetLab.h"
#include "PrivateBus.h"
#include "TempDir.h"

namespace E2e {

// The whole chain to the wire: on a private bus the daemon, sync-sim serving sync control (it reads
// further steps from a pipe the test writes to) and port control, or sync-portd serving port control
// from the kernel (kernelPorts_), and sync-esmcd, with two fronthaul ports on veth links of a NetLab,
// their far ends captured. A third port lives in a namespace that does not exist, so its output is
// refused (sync-sim) or it stays locked (sync-portd). The chain is up when PDUs arrive on both far
// ends: quality ePRTC under option I, QL enabled.
class WireChain : public ::testing::Test {
  public:
    static constexpr int kPorts = 2;
    static constexpr const char* kClockMac = "02:00:5e:10:00:ff";
    static constexpr uint64_t kClockId = 0x00005EFFFE1000FFull;  // the MAC with FFFE in the middle
    static constexpr int kHoldSeconds = 4;

  protected:
    void SetUp() override;
    void TearDown() override;

    // Hands sync-sim one more step.
    void step(const std::string& line);
    // The steps that bring a fresh daemon to the configured state.
    void configure();
    void startDaemon();
    void startEsmcd();
    void startPortd();
    // Waits until a PDU with this SSM arrived on every port after the frames counted in `from`.
    bool awaitSsm(unsigned ssm, std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // Lines of sync-esmcd's output that contain text.
    size_t esmcdLines(const std::string& text) const;
    std::string outputs() const;

    std::unique_ptr<NetLab> lab_;
    std::unique_ptr<EsmcCapture> capture_;
    std::unique_ptr<PrivateBus> bus_;
    std::unique_ptr<TempDir> dir_;
    std::unique_ptr<DaemonProcess> daemon_;
    std::unique_ptr<ChildProcess> sim_;
    std::unique_ptr<ChildProcess> esmcd_;
    std::unique_ptr<ChildProcess> portd_;
    CapturedOutput simOutput_;
    CapturedOutput esmcdOutput_;
    CapturedOutput portdOutput_;
    bool kernelPorts_ = false;  // set by a test class before SetUp
    int simInput_ = -1;
};

}  // namespace E2e

#endif
