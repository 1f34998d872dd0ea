// sync-esmcd on veth links: how long a quality change takes from the sync-control server to the
// event PDU on the far end, and what transmitting on many outputs costs.
//   bench-esmc-wire latency CHANGES   4 outputs, CHANGES quality changes 150 ms apart
//   bench-esmc-wire cpu OUTPUTS SECONDS
//   bench-esmc-wire linkup TOGGLES    1 output, its link switched down and up again, with sync-portd
// The daemon and sync-esmcd run as child processes on a private bus; the port-control and
// sync-control servers run here, so that the moment a change is sent is known exactly, except in
// `linkup`, where sync-portd serves the ports from the kernel.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "DaemonProcess.h"
#include "EsmcCapture.h"
#include "NetLab.h"
#include "PortControlServer.h"
#include "PrivateBus.h"
#include "SyncControlServer.h"
#include "TempDir.h"

namespace {

using Clock = std::chrono::steady_clock;
using E2e::EsmcCapture;

constexpr uint32_t EPRTC = 20;
constexpr uint32_t SSU_A = 4;  // SSM 0x4
constexpr uint32_t SSU_B = 5;  // SSM 0x8

// The chain up to the point where every output transmits.
class Chain {
  public:
    Chain(int outputs, bool kernelPorts = false) : lab_(outputs), kernelPorts_(kernelPorts) {
        std::vector<SyncPeers::PortControlServer::Port> table;
        for (int n = 1; n <= outputs; ++n) {
            SyncPeers::PortControlServer::Port port;
            port.role = SyncPeers::PortControlServer::ROLE_C2;
            port.rhaiId = static_cast<uint32_t>(n);
            port.macAddress = {0x02, 0x00, 0x5e, 0x10, static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)};
            port.portName = "P" + std::to_string(n);
            port.interfaceName = E2e::NetLab::nodeLink(n);
            port.adminState = 1;
            port.operState = 1;
            port.networkNamespace = lab_.node();
            table.push_back(port);
        }
        ports_.setPorts(table);
        std::ofstream file(dir_.file("ports"));
        for (const SyncPeers::PortControlServer::Port& port : table)
            file << "port fronthaul " << port.rhaiId << " " << port.portName << " " << port.interfaceName
                 << " " << lab_.node() << "\n";
    }

    bool start(int outputs) {
        if (!lab_.ready() || !bus_.running() || (!kernelPorts_ && !ports_.open()) || !sync_.open())
            return fail("cannot build the lab, the bus or the servers");
        if (kernelPorts_) {
            E2e::ChildProcess::Options portd;
            portd.file = SYNC_PORTD_PATH;
            portd.argv = {SYNC_PORTD_PATH, "--ports", dir_.file("ports")};
            portd_ = std::make_unique<E2e::ChildProcess>(portd);
        }
        daemon_ = std::make_unique<E2e::DaemonProcess>();
        if (!daemon_->waitUntilReady())
            return fail("the daemon did not start");
        E2e::ChildProcess::Options esmcd;
        esmcd.file = SYNC_ESMCD_PATH;
        esmcd.argv = {SYNC_ESMCD_PATH, "--clock-mac", "02:00:5e:10:00:ff"};
        esmcd_ = std::make_unique<E2e::ChildProcess>(esmcd);
        if (!serveUntil(
                [&] {
                    return (kernelPorts_ || ports_.subscriptions().size() >= size_t(outputs)) &&
                           sync_.subscriptions().size() >= 3;
                },
                std::chrono::seconds(120)))
            return fail("the daemon did not subscribe");
        sync_.sendRecCreate();
        sync_.sendClockSettledQuality(EPRTC);
        sync_.sendTelecomStandard(1);
        sync_.sendSelectionProcessMode(1);
        if (!kernelPorts_)
            ports_.sendAllPortStatus();
        if (!serveUntil([&] { return lines(": transmitting") >= size_t(outputs); },
                        std::chrono::seconds(120)))
            return fail("only " + std::to_string(lines(": transmitting")) + " outputs transmit");
        return true;
    }

    bool serveUntil(const std::function<bool()>& done, Clock::duration limit) {
        const Clock::time_point deadline = Clock::now() + limit;
        while (!done()) {
            if (Clock::now() > deadline)
                return false;
            ports_.processPending(1);
            sync_.processPending(1);
        }
        return true;
    }

    size_t lines(const std::string& text) const {
        std::istringstream all(esmcd_->output());
        size_t count = 0;
        for (std::string line; std::getline(all, line);)
            count += line.find(text) != std::string::npos;
        return count;
    }

    E2e::NetLab lab_;
    bool kernelPorts_;
    E2e::TempDir dir_{"bench-esmc"};
    PrivateBus bus_;
    SyncPeers::PortControlServer ports_;
    SyncPeers::SyncControlServer sync_;
    std::unique_ptr<E2e::DaemonProcess> daemon_;
    std::unique_ptr<E2e::ChildProcess> esmcd_;
    std::unique_ptr<E2e::ChildProcess> portd_;
    std::string error_;

  private:
    bool fail(const std::string& why) {
        error_ = why;
        return false;
    }
};

int latency(int changes) {
    constexpr int kOutputs = 4;
    Chain chain(kOutputs);
    if (!chain.start(kOutputs)) {
        std::fprintf(stderr, "bench-esmc-wire: %s\n%s", chain.error_.c_str(),
                     (chain.esmcd_ ? chain.esmcd_->output() : std::string()).c_str());
        return 1;
    }
    std::vector<std::string> far;
    for (int n = 1; n <= kOutputs; ++n)
        far.push_back(E2e::NetLab::farLink(n));
    EsmcCapture capture(chain.lab_.far(), far);
    std::vector<double> samples;
    for (int k = 0; k < changes; ++k) {
        const unsigned ssm = k % 2 == 0 ? 0x4 : 0x8;
        capture.waitUntil([] { return false; }, std::chrono::milliseconds(150));
        std::vector<size_t> from;
        for (int i = 0; i < kOutputs; ++i)
            from.push_back(capture.count(size_t(i)));
        const double sent = EsmcCapture::now();
        chain.sync_.sendClockSettledQuality(k % 2 == 0 ? SSU_A : SSU_B);
        const bool arrived = capture.waitUntil(
            [&] {
                for (int i = 0; i < kOutputs; ++i)
                    if (capture.firstWithSsm(size_t(i), from[size_t(i)], ssm) < 0)
                        return false;
                return true;
            },
            std::chrono::seconds(5));
        if (!arrived) {
            std::fprintf(stderr, "bench-esmc-wire: change %d did not reach every output\n", k);
            return 1;
        }
        for (int i = 0; i < kOutputs; ++i)
            samples.push_back(capture.firstWithSsm(size_t(i), from[size_t(i)], ssm) - sent);
    }
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double q) {
        return samples[std::min(samples.size() - 1, size_t(q * double(samples.size())))];
    };
    std::printf("event latency, %d changes x %d outputs: median %.2f ms, p99 %.2f ms, max %.2f ms\n", changes,
                kOutputs, at(0.5) * 1e3, at(0.99) * 1e3, samples.back() * 1e3);
    return 0;
}

// The output's link goes down, stays down a moment, and comes up: from the switch back up to the
// first PDU at the far end, which sync-portd, the daemon and sync-esmcd bring about between them.
int linkup(int toggles) {
    Chain chain(1, true);
    if (!chain.start(1)) {
        std::fprintf(stderr, "bench-esmc-wire: %s\n%s", chain.error_.c_str(),
                     (chain.esmcd_ ? chain.esmcd_->output() : std::string()).c_str());
        return 1;
    }
    EsmcCapture capture(chain.lab_.far(), {E2e::NetLab::farLink(1)});
    std::vector<double> samples;
    for (int k = 0; k < toggles; ++k) {
        if (!E2e::NetLab::switchLink(chain.lab_.node(), E2e::NetLab::nodeLink(1), false))
            return 1;
        capture.waitUntil([] { return false; }, std::chrono::milliseconds(300));
        const size_t from = capture.count(0);
        const double up = EsmcCapture::now();
        if (!E2e::NetLab::switchLink(chain.lab_.node(), E2e::NetLab::nodeLink(1), true) ||
            !capture.waitUntil([&] { return capture.count(0) > from; }, std::chrono::seconds(5))) {
            std::fprintf(stderr, "bench-esmc-wire: toggle %d: no PDU after the link came up\n", k);
            return 1;
        }
        samples.push_back(capture.firstWithSsm(0, from, 0x2) - up);
    }
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double q) {
        return samples[std::min(samples.size() - 1, size_t(q * double(samples.size())))];
    };
    std::printf(
        "link up to the first PDU on the far end, %d toggles: median %.2f ms, p99 %.2f ms, max %.2f ms\n",
        toggles, at(0.5) * 1e3, at(0.99) * 1e3, samples.back() * 1e3);
    return 0;
}

int cpu(int outputs, int seconds) {
    const Clock::time_point built = Clock::now();
    Chain chain(outputs);
    if (!chain.start(outputs)) {
        std::fprintf(stderr, "bench-esmc-wire: %s\n", chain.error_.c_str());
        return 1;
    }
    std::printf("%d outputs transmitting after %.1f s (lab, bus, daemon and sync-esmcd)\n", outputs,
                std::chrono::duration<double>(Clock::now() - built).count());
    const double before = chain.esmcd_->cpuSeconds();
    const double daemonBefore = chain.daemon_->cpuSeconds();
    const Clock::time_point start = Clock::now();
    chain.serveUntil([&] { return Clock::now() - start >= std::chrono::seconds(seconds); },
                     std::chrono::hours(1));
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double used = chain.esmcd_->cpuSeconds() - before;
    std::printf("sync-esmcd on %d outputs for %.1f s: %.3f CPU s = %.2f %% of one core (daemon %.2f %%)\n",
                outputs, wall, used, 100 * used / wall,
                100 * (chain.daemon_->cpuSeconds() - daemonBefore) / wall);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "latency")
        return latency(argc > 2 ? std::atoi(argv[2]) : 100);
    if (mode == "linkup")
        return linkup(argc > 2 ? std::atoi(argv[2]) : 50);
    if (mode == "cpu")
        return cpu(argc > 2 ? std::atoi(argv[2]) : 256, argc > 3 ? std::atoi(argv[3]) : 10);
    std::fprintf(stderr,
                 "usage: bench-esmc-wire latency [CHANGES] | cpu [OUTPUTS] [SECONDS] | linkup [TOGGLES]\n");
    return 2;
}
