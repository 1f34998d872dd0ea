#ifndef SYNC_E2E_PTPLAB_H
#define SYNC_E2E_PTPLAB_H

#include <memory>
#include <string>

#include "CapturedOutput.h"
#include "ChildProcess.h"
#include "NetLab.h"
#include "TempDir.h"

namespace E2e {

// A grandmaster and the node's PTP stack on link 1 of a NetLab: ptp4l at the far end (layer 2,
// software time stamps, clockClass 6, an announce a second) and ptp4l in the node's namespace
// (slave only), each with its management socket in a directory of the test's own. No instance may
// adjust the machine's clock: every one runs with free_running 1 (a grandmaster would not adjust it
// anyway, this makes sure).
class PtpLab {
  public:
    explicit PtpLab(int ports);

    bool ready() const { return ready_; }
    NetLab& net() { return *net_; }
    std::string nodeSocket() const { return dir_->file("node.sock"); }
    std::string grandmasterSocket() const { return dir_->file("gm.sock"); }
    // A file in the lab's own directory.
    std::string file(const std::string& name) const { return dir_->file(name); }

    void startGrandmaster();
    void startNode();
    void stopGrandmaster() { grandmaster_.reset(); }
    void killNode();
    // `pmc -u -b 0` at a socket: its output, empty when it failed.
    static std::string pmc(const std::string& socket, const std::string& command);
    // The grandmaster's clockClass set at run time.
    bool setClockClass(int clockClass) const;
    std::string outputs() const;

  private:
    std::unique_ptr<ChildProcess> ptp4l(const std::string& netns, const std::string& link,
                                        const std::string& config, CapturedOutput& output);

    std::unique_ptr<NetLab> net_;
    std::unique_ptr<TempDir> dir_;
    std::unique_ptr<ChildProcess> grandmaster_;
    std::unique_ptr<ChildProcess> node_;
    CapturedOutput grandmasterOutput_;
    CapturedOutput nodeOutput_;
    bool ready_ = false;
};

}  // namespace E2e

#endif
