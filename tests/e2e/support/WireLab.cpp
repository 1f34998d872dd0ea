#include "WireLab.h"

#include <fstream>

namespace E2e {

WireLab::WireLab(int ports) : net_(ports), marks_(static_cast<size_t>(ports)) {
    std::vector<std::string> links;
    for (int port = 1; port <= ports; ++port)
        links.push_back(NetLab::farLink(port));
    if (!net_.ready())
        return;
    capture_ = std::make_unique<EsmcCapture>(net_.far(), links);
    ready_ = capture_->ready() && bus_.running() && !dir_.path().empty();
    const std::string common = "[global]\nfree_running 1\nlogAnnounceInterval 0\nannounceReceiptTimeout 3\n";
    std::ofstream(file("gm.cfg")) << common << "clockClass 6\nuds_address " << grandmasterSocket() << "\n";
    std::ofstream(file("node.cfg")) << common << "slaveOnly 1\nuds_address " << nodeSocket() << "\n";
}

std::string WireLab::writePorts(int n, const std::string& more) const {
    const std::string path = file("ports");
    std::ofstream table(path);
    for (int port = 1; port <= n; ++port)
        table << "port fronthaul " << port << " TnPort-" << static_cast<char>('A' + port - 1) << " "
              << NetLab::nodeLink(port) << " " << net_.node() << "\n";
    table << more;
    return path;
}

ChildProcess& WireLab::start(const std::string& name, std::vector<std::string> argv, int inputFd) {
    programs_.erase(name);  // stopped before the next one starts
    const std::string program = argv.empty() ? std::string() : argv[0].substr(argv[0].rfind('/') + 1);
    if (program == "sync-esmcd" || program == "sync-portd" || program == "sync-clockd")
        argv.insert(argv.end(), {"--status-dir", dir_.path()});
    return *(programs_[name] =
                 std::make_unique<ChildProcess>(ChildProcess::Options{std::move(argv), {}, -1, inputFd}));
}

bool WireLab::startDaemon() {
    daemon_.reset();
    daemon_ = std::make_unique<DaemonProcess>();
    return daemon_->waitUntilReady();
}

void WireLab::startPtp4l(bool grandmaster) {
    // ip netns exec replaces itself with ptp4l: the pid is ptp4l's.
    start(grandmaster ? "grandmaster ptp4l" : "node ptp4l",
          {"ip", "netns", "exec", grandmaster ? net_.far() : net_.node(), "ptp4l", "-2", "-S", "-m", "-i",
           grandmaster ? NetLab::farLink(1) : NetLab::nodeLink(1), "-f",
           file(grandmaster ? "gm.cfg" : "node.cfg")});
}

std::string WireLab::pmc(const std::string& socket, const std::string& command) {
    const ChildProcess::Result result =
        ChildProcess::run({"pmc", "-u", "-b", "0", "-s", socket, command}, std::chrono::seconds(10));
    return result.succeeded() ? result.output : std::string();
}

bool WireLab::setClockClass(int clockClass) const {
    return pmc(grandmasterSocket(),
               "SET GRANDMASTER_SETTINGS_NP clockClass " + std::to_string(clockClass) +
                   " clockAccuracy 0xfe offsetScaledLogVariance 0xffff currentUtcOffset 37"
                   " leap61 0 leap59 0 currentUtcOffsetValid 0 ptpTimescale 0"
                   " timeTraceable 0 frequencyTraceable 0 timeSource 0xa0")
               .find("clockClass              " + std::to_string(clockClass)) != std::string::npos;
}

void WireLab::mark() {
    for (size_t i = 0; i < marks_.size(); ++i)
        marks_[i] = capture_->count(i);
}

bool WireLab::awaitSsm(unsigned ssm, std::chrono::milliseconds timeout) {
    return capture_->waitUntil(
        [&] {
            for (size_t i = 0; i < marks_.size(); ++i)
                if (capture_->lastSsm(i) != ssm)
                    return false;
            return true;
        },
        timeout);
}

void WireLab::pass(std::chrono::milliseconds span) {
    capture_->waitUntil([] { return false; }, span);
}

std::string WireLab::outputs() const {
    std::string all;
    for (const auto& [name, program] : programs_)
        all += name + ":\n" + program->output() + "\n";
    return all + "daemon:\n" + (daemon_ ? daemon_->output() : std::string());
}

}  // namespace E2e
