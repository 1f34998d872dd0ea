#include "WireChain.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace E2e {

void WireChain::SetUp() {
    signal(SIGPIPE, SIG_IGN);  // a sync-sim that died must fail the test, not end it
    ASSERT_TRUE(lab_.ready()) << "cannot make network namespaces, veth links or captures (root needed)";
    const std::string missing = lab_.net().node() + "-missing";
    const std::string scenario = lab_.file("wire.scn");
    std::ofstream(scenario) << "port fronthaul 1 02:00:5e:10:00:01 TnPort-A fh1 unlocked enabled "
                            << lab_.net().node()
                            << "\nport fronthaul 2 02:00:5e:10:00:02 TnPort-B fh2 unlocked enabled "
                            << lab_.net().node()
                            << "\nport fronthaul 3 02:00:5e:10:00:03 TnPort-C fh3 unlocked enabled "
                            << missing << "\n";
    // The same ports for sync-portd, which learns the rest from the kernel.
    lab_.writePorts(kPorts, "port fronthaul 3 TnPort-C fh3 " + missing + "\n");
    int pipeFds[2];
    ASSERT_EQ(pipe2(pipeFds, O_CLOEXEC), 0);
    simInput_ = pipeFds[1];
    std::vector<std::string> sim = {SYNC_SIM_PATH, "--no-dataplane", "--stdin", scenario};
    if (kernelPorts_)
        sim.insert(sim.begin() + 1, "--no-ports");
    lab_.start("sync-sim", sim, pipeFds[0]);
    close(pipeFds[0]);
    if (kernelPorts_)
        startPortd();
    ASSERT_TRUE(lab_.startDaemon()) << lab_.outputs();
    startEsmcd();
    configure();
    ASSERT_TRUE(lab_.awaitSsm(0x2)) << lab_.outputs();
}

void WireChain::TearDown() {
    if (simInput_ >= 0)
        close(simInput_);
}

void WireChain::startEsmcd() {
    lab_.start("sync-esmcd",
               {SYNC_ESMCD_PATH, "--clock-mac", "02:00:5e:10:00:ff", "--hold", std::to_string(kHoldSeconds)});
}

void WireChain::startPortd() {
    lab_.start("sync-portd", {SYNC_PORTD_PATH, "--ports", lab_.file("ports")});
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

size_t WireChain::esmcdLines(const std::string& text) {
    std::istringstream lines(lab_.process("sync-esmcd").output());
    size_t count = 0;
    for (std::string line; std::getline(lines, line);)
        count += line.find(text) != std::string::npos;
    return count;
}

}  // namespace E2e
