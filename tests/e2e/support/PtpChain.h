#ifndef SYNC_E2E_PTPCHAIN_H
#define SYNC_E2E_PTPCHAIN_H

#include <chrono>
#include <memory>
#include <string>

#include "CapturedOutput.h"
#include "ChildProcess.h"
#include "DaemonProcess.h"
#include "EsmcCapture.h"
#include "PrivateBus.h"
#include "PtpLab.h"

namespace E2e {

// The chain with nothing simulated on the clock's side, on the links of a PtpLab: the grandmaster
// and the node's ptp4l, sync-clockd on the node's socket, the daemon and sync-esmcd on a private bus,
// sync-portd serving two fronthaul ports from the kernel, the far ends captured. Up
// when every port's PDUs carry the grandmaster's clockClass 6 (SSM 0x2).
class PtpChain {
  public:
    static constexpr int kPorts = 2;
    struct Programs {
        std::string portd, esmcd, clockd;
    };

    explicit PtpChain(const Programs& programs);
    // Whether every part started and the chain came up within the timeout; `why` when not.
    bool up(std::chrono::seconds timeout, std::string& why);

    PtpLab& lab() { return *lab_; }
    EsmcCapture& capture() { return *capture_; }
    // Waits until the last PDU of every port carries this SSM.
    bool awaitSsm(unsigned ssm, std::chrono::milliseconds timeout);
    const CapturedOutput& esmcdOutput() const { return esmcdOutput_; }
    std::string outputs() const;

  private:
    std::unique_ptr<ChildProcess> start(const std::string& path, std::vector<std::string> args,
                                        CapturedOutput& output);

    std::unique_ptr<PtpLab> lab_;
    std::unique_ptr<EsmcCapture> capture_;
    std::unique_ptr<PrivateBus> bus_;
    CapturedOutput portdOutput_, clockdOutput_, esmcdOutput_;
    std::unique_ptr<ChildProcess> portd_, clockd_, esmcd_;
    std::unique_ptr<DaemonProcess> daemon_;
};

}  // namespace E2e

#endif
