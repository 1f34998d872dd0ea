#include "ScenarioRunner.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

namespace SyncSim {

namespace {

using SyncPeers::MailboxPeer;
using Step = Scenario::Step;
using Order = DataPlaneClient::Order;
using Clock = std::chrono::steady_clock;

// The bus library has timeouts of its own (Id() calls) that run only when a peer is processed, so
// no wait on the descriptors lasts longer than this.
constexpr int LONGEST_POLL_MS = 100;

const char* stateName(DataPlaneClient::State state) {
    switch (state) {
        case DataPlaneClient::State::CLOSED:
            return "closed";
        case DataPlaneClient::State::WAIT_FOR_SERVER:
            return "waiting for the daemon";
        case DataPlaneClient::State::WAIT_FOR_CFM:
            return "connection requested";
        case DataPlaneClient::State::CONNECTED:
            return "connected";
        case DataPlaneClient::State::REJECTED:
            return "rejected";
    }
    return "?";
}

}  // namespace

ScenarioRunner::ScenarioRunner(PortControlServer& ports, SyncControlServer& sync, DataPlaneClient& dataPlane,
                               std::FILE* out)
    : ports_(ports), sync_(sync), dataPlane_(dataPlane), out_(out) {
    ports_.setListener(&portsHeard_);
    sync_.setListener(&syncHeard_);
    dataPlane_.setListener(&dataPlaneHeard_);
}

bool ScenarioRunner::run(const Scenario& scenario) {
    for (const Step& step : scenario.steps)
        if (!perform(step))
            return false;
    return true;
}

bool ScenarioRunner::perform(const Step& step) {
    std::fprintf(out_, "step %zu: %s\n", step.line, step.source.c_str());
    std::fflush(out_);
    const bool waiting = step.kind == Step::WAIT_CONNECTED || step.kind == Step::WAIT_PORT_SUBSCRIPTIONS ||
                         step.kind == Step::WAIT_SYNC_SUBSCRIPTIONS || step.kind == Step::WAIT_ORDERS;
    // Which simulated peer the step needs, when sync-sim left it out for a real program.
    const MailboxPeer* needed = nullptr;
    const char* option = "";
    switch (step.kind) {
        case Step::PORT_STATUS:
        case Step::SEND_STATUS:
        case Step::PORT_NAMESPACE:
        case Step::WAIT_PORT_SUBSCRIPTIONS:
            needed = &ports_;
            option = "--no-ports";
            break;
        case Step::WAIT_CONNECTED:
        case Step::WAIT_ORDERS:
        case Step::MAC_FORWARD:
            needed = &dataPlane_;
            option = "--no-dataplane";
            break;
        case Step::EXIT:
            break;
        default:
            needed = &sync_;
            option = "--no-sync";
            break;
    }
    bool done = false;
    if (needed != nullptr && !needed->isOpen())
        error_ = std::string("that simulated peer was left out (") + option + ")";
    else
        done = waiting ? wait(step) : play(step);
    if (!done) {
        error_ = "line " + std::to_string(step.line) + " (" + step.source + "): " + error_;
        return false;
    }
    // Whatever the step caused is shown before the next step starts.
    serveOnce(0);
    return true;
}

bool ScenarioRunner::play(const Step& step) {
    size_t sent = 0;
    switch (step.kind) {
        case Step::PORT_STATUS:
            for (const PortControlServer::Port& port : ports_.ports())
                if (step.portName.empty() || port.portName == step.portName)
                    ports_.setPortState(port.portName, step.adminState, step.operState);
            sent = sendStatus(step.portName);
            break;
        case Step::SEND_STATUS:
            sent = sendStatus(step.portName);
            break;
        case Step::PORT_NAMESPACE:
            ports_.setPortNamespace(step.portName, step.text);
            return true;
        case Step::REC_CREATE:
            sent = sync_.sendRecCreate();
            break;
        case Step::REC_DELETE:
            sent = sync_.sendRecDelete();
            break;
        case Step::CLOCK_QUALITY:
            sent = sync_.sendClockSettledQuality(step.value);
            break;
        case Step::SELECTION_MODE:
            sent = sync_.sendSelectionProcessMode(step.value);
            break;
        case Step::TELECOM_STANDARD:
            sent = sync_.sendTelecomStandard(step.value);
            break;
        case Step::SELECTED_REFERENCE:
            sent = sync_.sendSelectedReference(step.value, step.text);
            break;
        case Step::MAC_FORWARD:
            if (!dataPlane_.forwardMacAddress(step.text)) {
                error_ = "the data-plane client is not connected (wait connected first)";
                return false;
            }
            return true;
        default:
            return true;
    }
    if (sent == 0)
        std::fprintf(stderr, "sync-sim: line %zu: nobody subscribed to this yet; nothing was sent\n",
                     step.line);
    return true;
}

size_t ScenarioRunner::sendStatus(const std::string& portName) {
    return portName.empty() ? ports_.sendAllPortStatus() : ports_.sendPortStatus(portName);
}

bool ScenarioRunner::wait(const Step& step) {
    std::function<bool()> done;
    switch (step.kind) {
        case Step::WAIT_CONNECTED:
            done = [this] { return dataPlane_.state() == DataPlaneClient::State::CONNECTED; };
            break;
        case Step::WAIT_PORT_SUBSCRIPTIONS:
            done = [this, &step] { return ports_.subscriptions().size() >= step.count; };
            break;
        case Step::WAIT_SYNC_SUBSCRIPTIONS:
            done = [this, &step] { return sync_.subscriptions().size() >= step.count; };
            break;
        default:
            done = [this, &step] { return dataPlaneHeard_.ordersOf(step.orderKind).size() >= step.count; };
            break;
    }
    if (serveUntil(done, step.timeoutMs))
        return true;
    error_ = stopped() ? "stopped by a signal"
                       : "not reached within " + std::to_string(step.timeoutMs) + " ms: " + shortfall(step);
    return false;
}

std::string ScenarioRunner::shortfall(const Step& step) const {
    switch (step.kind) {
        case Step::WAIT_CONNECTED:
            return std::string("the data-plane client is ") + stateName(dataPlane_.state()) +
                   " (is the daemon running on this bus?)";
        case Step::WAIT_PORT_SUBSCRIPTIONS:
            return std::to_string(ports_.subscriptions().size()) + " port-status subscriptions in force";
        case Step::WAIT_SYNC_SUBSCRIPTIONS:
            return std::to_string(sync_.subscriptions().size()) + " sync-control subscriptions in force";
        default:
            return std::to_string(dataPlaneHeard_.ordersOf(step.orderKind).size()) + " " +
                   Order::kindName(step.orderKind) + " orders arrived";
    }
}

bool ScenarioRunner::serveUntil(const std::function<bool()>& done, int timeoutMs) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done() && !stopped()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            break;
        serveOnce(static_cast<int>(left));
    }
    return done();
}

void ScenarioRunner::serveUntilStopped() {
    while (!stopped())
        serveOnce(LONGEST_POLL_MS);
}

void ScenarioRunner::serveUntilStopped(int fd, ScenarioParser& parser) {
    std::string pending;
    size_t lineNumber = 0;
    while (!stopped()) {
        if (!serveOnce(LONGEST_POLL_MS, fd))
            continue;
        char chunk[4096];
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got <= 0) {
            fd = -1;  // end of input: serve on without it
            continue;
        }
        pending.append(chunk, static_cast<size_t>(got));
        for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            Step step;
            std::string error;
            ++lineNumber;
            if (parser.parseStep(line, lineNumber, step, error)) {
                if (!perform(step))
                    std::fprintf(stderr, "sync-sim: input %s\n", error_.c_str());
            } else if (!error.empty()) {
                std::fprintf(stderr, "sync-sim: input line %zu: %s\n", lineNumber, error.c_str());
            }
        }
    }
}

bool ScenarioRunner::serveOnce(int timeoutMs, int extraFd) {
    MailboxPeer* const peers[] = {&ports_, &sync_, &dataPlane_};
    pollfd fds[4];
    nfds_t count = 0;
    for (MailboxPeer* peer : peers)
        if (peer->isOpen())
            fds[count++] = pollfd{peer->fd(), POLLIN, 0};
    fds[count] = pollfd{extraFd, POLLIN, 0};  // a negative descriptor is ignored by poll
    // A signal ends the wait early (EINTR); the caller then sees the stop flag.
    poll(fds, count + 1, std::min(timeoutMs, LONGEST_POLL_MS));
    for (MailboxPeer* peer : peers)
        peer->processPending(0);
    report();
    return extraFd >= 0 && (fds[count].revents & (POLLIN | POLLHUP)) != 0;
}

void ScenarioRunner::report() {
    if (dataPlane_.state() != stateShown_) {
        stateShown_ = dataPlane_.state();
        std::fprintf(out_, "data plane: %s", stateName(stateShown_));
        if (stateShown_ == DataPlaneClient::State::CONNECTED)
            std::fprintf(out_, " to mailbox %u, revision %u", dataPlane_.serverPid(),
                         dataPlane_.selectedRevision());
        std::fprintf(out_, "\n");
    }
    const std::vector<Order>& orders = dataPlaneHeard_.orders();
    for (; ordersShown_ < orders.size(); ++ordersShown_)
        std::fprintf(out_, "order: %s\n", orders[ordersShown_].describe().c_str());
    reportWarnings("port-control server", portsHeard_.warnings(), portWarningsShown_);
    reportWarnings("sync-control server", syncHeard_.warnings(), syncWarningsShown_);
    reportWarnings("data-plane client", dataPlaneHeard_.warnings(), dataPlaneWarningsShown_);
    std::fflush(out_);
}

void ScenarioRunner::reportWarnings(const char* peer, const std::vector<std::string>& warnings,
                                    size_t& shown) {
    for (; shown < warnings.size(); ++shown)
        std::fprintf(stderr, "sync-sim: %s: warning: %s\n", peer, warnings[shown].c_str());
}

}  // namespace SyncSim
