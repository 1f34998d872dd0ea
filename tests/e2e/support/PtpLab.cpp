#include "PtpLab.h"

#include <signal.h>

#include <fstream>

#include "Command.h"

namespace E2e {

PtpLab::PtpLab(int ports)
    : net_(std::make_unique<NetLab>(ports)), dir_(std::make_unique<TempDir>("sync-ptp")) {
    ready_ = net_->ready() && !dir_->path().empty();
    const std::string common = "[global]\nfree_running 1\nlogAnnounceInterval 0\nannounceReceiptTimeout 3\n";
    std::ofstream(dir_->file("gm.cfg"))
        << common << "clockClass 6\nuds_address " << grandmasterSocket() << "\n";
    std::ofstream(dir_->file("node.cfg")) << common << "slaveOnly 1\nuds_address " << nodeSocket() << "\n";
}

std::unique_ptr<ChildProcess> PtpLab::ptp4l(const std::string& netns, const std::string& link,
                                            const std::string& config, CapturedOutput& output) {
    ChildProcess::Options options;
    options.file = "ip";  // ip netns exec replaces itself with ptp4l: the pid is ptp4l's
    options.argv = {"ip", "netns", "exec", netns, "ptp4l", "-2",
                    "-S", "-m",    "-i",   link,  "-f",    dir_->file(config)};
    options.outputFd = output.fd();
    return std::make_unique<ChildProcess>(options);
}

void PtpLab::startGrandmaster() {
    grandmaster_ = ptp4l(net_->far(), NetLab::farLink(1), "gm.cfg", grandmasterOutput_);
}

void PtpLab::startNode() {
    node_ = ptp4l(net_->node(), NetLab::nodeLink(1), "node.cfg", nodeOutput_);
}

void PtpLab::killNode() {
    node_->signal(SIGKILL);
    node_->waitExit(std::chrono::seconds(5));
}

std::string PtpLab::pmc(const std::string& socket, const std::string& command) {
    const Command::Result result =
        Command::run({"pmc", "-u", "-b", "0", "-s", socket, command}, std::chrono::seconds(10));
    return result.succeeded() ? result.output : std::string();
}

bool PtpLab::setClockClass(int clockClass) const {
    return pmc(grandmasterSocket(),
               "SET GRANDMASTER_SETTINGS_NP clockClass " + std::to_string(clockClass) +
                   " clockAccuracy 0xfe offsetScaledLogVariance 0xffff currentUtcOffset 37"
                   " leap61 0 leap59 0 currentUtcOffsetValid 0 ptpTimescale 0"
                   " timeTraceable 0 frequencyTraceable 0 timeSource 0xa0")
               .find("clockClass              " + std::to_string(clockClass)) != std::string::npos;
}

std::string PtpLab::outputs() const {
    return "grandmaster ptp4l:\n" + grandmasterOutput_.text() + "\nnode ptp4l:\n" + nodeOutput_.text();
}

}  // namespace E2e
