#ifndef SYNC_SIM_SCENARIORUNNER_H
#define SYNC_SIM_SCENARIORUNNER_H

#include <csignal>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "DataPlaneClient.h"
#include "DataPlaneRecorder.h"
#include "PortControlServer.h"
#include "Scenario.h"
#include "ScenarioParser.h"
#include "ServerRecorder.h"
#include "SyncControlServer.h"

namespace SyncSim {

// Plays a scenario's steps with the three simulated peers of one process, serving all of them the
// whole time, and prints to `out` each step as it is played, the data-plane client's connection
// changes and every order the data plane receives ("order: " and the order's fields), one line each.
// Warnings of the peers go to stderr. Every wait is bounded by its step's timeout or a stop request.
// The runner listens to the three peers from its construction on.
class ScenarioRunner {
  public:
    ScenarioRunner(PortControlServer& ports, SyncControlServer& sync, DataPlaneClient& dataPlane,
                   std::FILE* out);

    // Waits end early, unsuccessfully, once *flag is non-zero (a signal handler sets it).
    void setStopFlag(const volatile std::sig_atomic_t* flag) { stop_ = flag; }

    // Plays every step; false, with error(), when a wait ran out, a step could not be done or a stop
    // was asked for.
    bool run(const Scenario& scenario);
    // Serves the peers until done() holds (true) or timeoutMs passed or a stop was asked (false).
    bool serveUntil(const std::function<bool()>& done, int timeoutMs);
    // Serves the peers until a stop is asked for.
    void serveUntilStopped();
    // The same, meanwhile playing every further step read from `fd` (one per line) as it comes.
    void serveUntilStopped(int fd, ScenarioParser& parser);

    const std::string& error() const { return error_; }

  private:
    // Plays one step, or waits for what it names; false, with error(), when it could not.
    bool perform(const Scenario::Step& step);
    bool play(const Scenario::Step& step);
    bool wait(const Scenario::Step& step);
    // Why a wait step is not satisfied yet, for the timeout message.
    std::string shortfall(const Scenario::Step& step) const;
    size_t sendStatus(const std::string& portName);
    // One wait of at most timeoutMs on the peers' descriptors (and `extraFd`), then whatever the
    // peers hold; whether extraFd turned readable.
    bool serveOnce(int timeoutMs, int extraFd = -1);
    void report();
    // The warnings of one peer that are not shown yet, on stderr.
    static void reportWarnings(const char* peer, const std::vector<std::string>& warnings, size_t& shown);
    bool stopped() const { return stop_ != nullptr && *stop_ != 0; }

    PortControlServer& ports_;
    SyncControlServer& sync_;
    DataPlaneClient& dataPlane_;
    PortControlRecorder portsHeard_;
    SyncControlRecorder syncHeard_;
    DataPlaneRecorder dataPlaneHeard_;
    std::FILE* out_;
    const volatile std::sig_atomic_t* stop_ = nullptr;
    size_t ordersShown_ = 0;
    size_t portWarningsShown_ = 0;
    size_t syncWarningsShown_ = 0;
    size_t dataPlaneWarningsShown_ = 0;
    DataPlaneClient::State stateShown_ = DataPlaneClient::State::CLOSED;
    std::string error_;
};

}  // namespace SyncSim

#endif
