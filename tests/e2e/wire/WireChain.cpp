#include "WireChain.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace E2e {

void WireChain::SetUp() {
    signal(SIGPIPE, SIG_IGN);  // a sync-sim that died must fail the test, not end it
    lab_ = std::make_unique<NetLab>(kPorts);
    ASSERT_TRUE(lab_->ready()) << "cannot make network namespaces and veth links (root needed)";
    capture_ = std::make_unique<EsmcCapture>(
        lab_->far(), std::vector<std::string>{NetLab::farLink(1), NetLab::farLink(2)});
    ASSERT_TRUE(capture_->ready());
    bus_ = std::make_unique<PrivateBus>();
    ASSERT_TRUE(bus_->running());
    dir_ = std::make_unique<TempDir>("sync-wire");
    const std::string scenario = dir_->file("wire.scn");
    std::ofstream(scenario) << "port fronthaul 1 02:00:5e:10:00:01 TnPort-A fh1 unlocked enabled "
                            << lab_->node()
                            << "\nport fronthaul 2 02:00:5e:10:00:02 TnPort-B fh2 unlocked enabled "
                            << lab_->node()
                            << "\nport fronthaul 3 02:00:5e:10:00:03 TnPort-C fh3 unlocked enabled "
                            << lab_->node() << "-missing\n";
    // The same ports for sync-portd, which learns the rest from the kernel.
    std::ofstream(dir_->file("ports"))
        << "port fronthaul 1 TnPort-A fh1 " << lab_->node() << "\nport fronthaul 2 TnPort-B fh2 "
        << lab_->node() << "\nport fronthaul 3 TnPort-C fh3 " << lab_->node() << "-missing\n";
    int pipeFds[2];
    ASSERT_EQ(pipe2(pipeFds, O_CLOEXEC), 0);
    simInput_ = pipeFds[1];
    ChildProcess::Options sim;
    sim.file = SYNC_SIM_PATH;
    sim.argv = {SYNC_SIM_PATH, "--no-dataplane", "--stdin", scenario};
    if (kernelPorts_)
        sim.argv.insert(sim.argv.begin() + 1, "--no-ports");
    sim.outputFd = simOutput_.fd();
    sim.inputFd = pipeFds[0];
    sim_ = std::make_unique<ChildProcess>(sim);
    close(pipeFds[0]);
    if (kernelPorts_)
        startPortd();
    startDaemon();
    startEsmcd();
    configure();
    ASSERT_TRUE(awaitSsm(0x2)) << outputs();
}

void WireChain::TearDown() {
    if (simInput_ >= 0)
        close(simInput_);
    esmcd_.reset();
    portd_.reset();
    sim_.reset();
    daemon_.reset();
}

void WireChain::startDaemon() {
    daemon_ = std::make_unique<DaemonProcess>();
    ASSERT_TRUE(daemon_->waitUntilReady()) << daemon_->output();
}

void WireChain::startEsmcd() {
    ChildProcess::Options esmcd;
    esmcd.file = SYNC_ESMCD_PATH;
    esmcd.argv = {SYNC_ESMCD_PATH, "--clock-mac", kClockMac, "--hold", std::to_string(kHoldSeconds)};
    esmcd.outputFd = esmcdOutput_.fd();
    esmcd_ = std::make_unique<ChildProcess>(esmcd);
}

void WireChain::startPortd() {
    ChildProcess::Options portd;
    portd.file = SYNC_PORTD_PATH;
    portd.argv = {SYNC_PORTD_PATH, "--ports", dir_->file("ports")};
    portd.outputFd = portdOutput_.fd();
    portd_ = std::make_unique<ChildProcess>(portd);
}

void WireChain::configure() {
    // sync-portd tells each subscriber its port's status by itself; sync-sim is told to.
    if (!kernelPorts_)
        step("wait port-subscriptions 3 30s");
    for (const char* line : {"wait sync-subscriptions 3 30s", "rec-create", "clock-quality EPRTC",
                             "telecom-standard OPTION_I", "selection-mode QL_ENABLED"})
        step(line);
    if (!kernelPorts_)
        step("send-status all");
}

void WireChain::step(const std::string& line) {
    const std::string text = line + "\n";
    ASSERT_EQ(write(simInput_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

bool WireChain::awaitSsm(unsigned ssm, std::chrono::milliseconds timeout) {
    return capture_->waitUntil([&] { return capture_->lastSsm(0) == ssm && capture_->lastSsm(1) == ssm; },
                               timeout);
}

size_t WireChain::esmcdLines(const std::string& text) const {
    std::istringstream lines(esmcdOutput_.text());
    size_t count = 0;
    for (std::string line; std::getline(lines, line);)
        count += line.find(text) != std::string::npos;
    return count;
}

std::string WireChain::outputs() const {
    return "sync-sim:\n" + simOutput_.text() + "\nsync-esmcd:\n" + esmcdOutput_.text() + "\nsync-portd:\n" +
           portdOutput_.text() + "\ndaemon:\n" + (daemon_ ? daemon_->output() : std::string());
}

}  // namespace E2e
