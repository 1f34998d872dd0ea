#ifndef SYNC_E2E_WIRELAB_H
#define SYNC_E2E_WIRELAB_H

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "DaemonProcess.h"
#include "EsmcCapture.h"
#include "NetLab.h"
#include "PrivateBus.h"
#include "TempDir.h"

namespace E2e {

// The stage of the chain to the wire: the namespaces and veth links of a NetLab with their far ends
// captured, a private bus and a directory of the lab's own. The programs of the chain (the daemon,
// sync-esmcd, sync-portd, ptp4l, ...) are started here by name, each with its output kept, and
// stopped by their pids when they are started again or the lab goes.
//
// ptp4l runs as a grandmaster at the far end of link 1 (layer 2, software time stamps, clockClass 6,
// an announce a second) and as the node's (slave only) in the node's namespace, each with its
// management socket in the lab's directory. No instance may adjust the machine's clock: every one
// runs with free_running 1 (a grandmaster would not adjust it anyway, this makes sure).
class WireLab {
  public:
    explicit WireLab(int ports);

    // Whether namespaces, links, captures, bus and directory were all made.
    bool ready() const { return ready_; }
    NetLab& net() { return net_; }
    EsmcCapture& capture() { return *capture_; }
    std::string file(const std::string& name) const { return dir_.file(name); }
    const std::string& dir() const { return dir_.path(); }
    // A sync-portd table: fronthaul ports 1..n on fh1..fhn in the node's namespace, then `more`.
    std::string writePorts(int n, const std::string& more = "") const;

    // Starts argv (argv[0] a path) as `name`, stopping a former one of that name first. The node's
    // programs (sync-esmcd, sync-portd, sync-clockd) answer their status in the lab's directory.
    ChildProcess& start(const std::string& name, std::vector<std::string> argv, int inputFd = -1);
    ChildProcess& process(const std::string& name) { return *programs_.at(name); }
    // Starts the daemon (again) and waits until it is ready.
    bool startDaemon();
    DaemonProcess& daemon() { return *daemon_; }
    // Starts (again) the grandmaster's ptp4l, or the node's.
    void startPtp4l(bool grandmaster);
    std::string nodeSocket() const { return file("node.sock"); }
    std::string grandmasterSocket() const { return file("gm.sock"); }
    // `pmc -u -b 0` at a socket: its output, empty when it failed.
    static std::string pmc(const std::string& socket, const std::string& command);
    // The grandmaster's clockClass set at run time.
    bool setClockClass(int clockClass) const;

    // Counts the frames of every port so far, for since().
    void mark();
    // How many frames arrived at port i (0-based) since mark().
    size_t fresh(size_t i) const { return capture_->count(i) - marks_[i]; }
    // The frames of port i decoded, from mark() on.
    std::vector<EsmcDecoded> since(size_t i, int option = 1) const {
        return capture_->decode(i, marks_[i], option);
    }
    // Waits until the last PDU of every port carries this SSM.
    bool awaitSsm(unsigned ssm, std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // Captures for `span` without waiting for anything.
    void pass(std::chrono::milliseconds span);
    // What every program wrote, for failure messages.
    std::string outputs() const;

  private:
    NetLab net_;
    TempDir dir_{"sync-wire"};
    PrivateBus bus_;
    std::unique_ptr<EsmcCapture> capture_;
    std::map<std::string, std::unique_ptr<ChildProcess>> programs_;
    std::unique_ptr<DaemonProcess> daemon_;
    std::vector<size_t> marks_;
    bool ready_ = false;
};

}  // namespace E2e

#endif
