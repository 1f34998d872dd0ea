#include "PtpChain.h"

#include <fstream>

namespace E2e {

PtpChain::PtpChain(const Programs& programs) {
    lab_ = std::make_unique<PtpLab>(kPorts);
    if (!lab_->ready())
        return;
    capture_ = std::make_unique<EsmcCapture>(
        lab_->net().far(), std::vector<std::string>{NetLab::farLink(1), NetLab::farLink(2)});
    lab_->startGrandmaster();
    lab_->startNode();
    bus_ = std::make_unique<PrivateBus>();
    const std::string table = lab_->file("ports");
    std::ofstream(table) << "port fronthaul 1 TnPort-A fh1 " << lab_->net().node()
                         << "\nport fronthaul 2 TnPort-B fh2 " << lab_->net().node() << "\n";
    portd_ = start(programs.portd, {"--ports", table}, portdOutput_);
    clockd_ = start(programs.clockd, {"--uds", lab_->nodeSocket()}, clockdOutput_);
    daemon_ = std::make_unique<DaemonProcess>();
    esmcd_ = start(programs.esmcd, {"--clock-mac", "02:00:5e:10:00:ff"}, esmcdOutput_);
}

bool PtpChain::up(std::chrono::seconds timeout, std::string& why) {
    if (!lab_->ready() || !capture_->ready()) {
        why = "cannot make network namespaces, veth links or captures (root needed)";
        return false;
    }
    if (!bus_->running() || !daemon_->waitUntilReady()) {
        why = "no bus, or the daemon did not start:\n" + daemon_->output();
        return false;
    }
    if (!awaitSsm(0x2, timeout)) {
        why = "no PDUs with SSM 0x2 on every port\n" + outputs();
        return false;
    }
    return true;
}

std::unique_ptr<ChildProcess> PtpChain::start(const std::string& path, std::vector<std::string> args,
                                              CapturedOutput& output) {
    args.insert(args.begin(), path);
    return std::make_unique<ChildProcess>(ChildProcess::Options{path, args, {}, output.fd()});
}

bool PtpChain::awaitSsm(unsigned ssm, std::chrono::milliseconds timeout) {
    return capture_->waitUntil([&] { return capture_->lastSsm(0) == ssm && capture_->lastSsm(1) == ssm; },
                               timeout);
}

std::string PtpChain::outputs() const {
    return lab_->outputs() + "\nsync-clockd:\n" + clockdOutput_.text() + "\nsync-esmcd:\n" +
           esmcdOutput_.text() + "\nsync-portd:\n" + portdOutput_.text();
}

}  // namespace E2e
