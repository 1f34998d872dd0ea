#include "ServiceLoop.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>

#include "Log.h"
#include "ServiceExit.h"

namespace SyncSys {

namespace {

constexpr short BROKEN = POLLHUP | POLLERR | POLLNVAL;

// Whole milliseconds from now until `due`, rounded up so that the wait never ends before it;
// -1 (no limit) for TimePoint::max().
int millisecondsUntil(ServiceLoop::TimePoint due, ServiceLoop::TimePoint now) {
    if (due == ServiceLoop::TimePoint::max())
        return -1;
    if (due <= now)
        return 0;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(due - now).count();
    return static_cast<int>(std::min<long long>(left, INT_MAX));
}

}  // namespace

void ServiceLoop::describe(Options& options) {
    options.addText("The bus is $TAVI_BUS_ADDRESS, or the system bus when it is not set.");
    options.addCodes("Exit status:", ServiceExit::CODES);
}

ServiceLoop::ServiceLoop() = default;

void ServiceLoop::onReload(std::function<std::vector<std::string>()> reload) {
    reload_ = std::move(reload);
    signals_.catchHangUp();
}

void ServiceLoop::watch(std::function<std::vector<int>()> descriptors, std::function<void()> onReady,
                        short events) {
    watches_.push_back(Watch{std::move(descriptors), std::move(onReady), events});
}

int ServiceLoop::run(const Bus& bus) {
    return serve(&bus);
}

int ServiceLoop::run() {
    return serve(nullptr);
}

int ServiceLoop::serve(const Bus* bus) {
    if (signals_.fd() < 0) {
        Log::error(std::string("cannot watch signals: ") + std::strerror(errno));
        return ServiceExit::FAILED;
    }
    supervisor_.ready();
    for (;;) {
        const TimePoint due = work();
        const int busFd = bus != nullptr ? bus->fd() : -1;
        if (bus != nullptr && busFd < 0) {
            Log::error("off the bus: it could not be joined again");
            return finish(ServiceExit::FAILED);
        }
        gather(busFd);
        const TimePoint now = Clock::now();
        const int busTimeout = bus != nullptr ? bus->timeoutMs() : -1;
        const TimePoint busDue =
            busTimeout < 0 ? TimePoint::max() : now + std::chrono::milliseconds(busTimeout);
        if (poll(fds_.data(), fds_.size(), millisecondsUntil(std::min(due, busDue), now)) < 0) {
            if (errno == EINTR)
                continue;
            Log::error(std::string("poll failed: ") + std::strerror(errno));
            return finish(ServiceExit::FAILED);
        }
        if ((fds_[0].revents & POLLIN) && handleSignals())
            return finish(ServiceExit::STOPPED);
        if (bus != nullptr) {
            if (fds_[1].revents & BROKEN) {
                Log::error("the bus connection broke");
                return finish(ServiceExit::FAILED);
            }
            if ((fds_[1].revents & POLLIN) || Clock::now() >= busDue)
                bus->process();
        }
        dispatchWatches();
    }
}

ServiceLoop::TimePoint ServiceLoop::work() {
    const TimePoint due = work_ ? work_() : TimePoint::max();
    if (summary_)
        supervisor_.status(refused_.empty() ? summary_() : summary_() + "; not reloaded: " + refused_);
    return std::min(due, supervisor_.keepAlive(Clock::now()));
}

void ServiceLoop::gather(int busFd) {
    fds_.assign({pollfd{signals_.fd(), POLLIN, 0}});
    if (busFd >= 0)
        fds_.push_back(pollfd{busFd, POLLIN, 0});
    firstWatched_ = fds_.size();
    watchOf_.clear();
    for (size_t i = 0; i < watches_.size(); ++i) {
        for (const int fd : watches_[i].descriptors()) {
            fds_.push_back(pollfd{fd, watches_[i].events, 0});
            watchOf_.push_back(i);
        }
    }
}

void ServiceLoop::dispatchWatches() {
    std::vector<bool> ready(watches_.size(), false);
    for (size_t i = firstWatched_; i < fds_.size(); ++i)
        if (fds_[i].revents != 0)
            ready[watchOf_[i - firstWatched_]] = true;
    for (size_t i = 0; i < watches_.size(); ++i)
        if (ready[i])
            watches_[i].onReady();
}

bool ServiceLoop::handleSignals() {
    for (int signal; (signal = signals_.next()) != 0;) {
        if (signal == SIGUSR1 && status_) {
            for (const std::string& line : status_())
                Log::info(line);
        } else if (signal == SIGHUP && reload_) {
            const std::vector<std::string> errors = reload_();
            for (const std::string& error : errors)
                Log::warning("not reloaded, the configuration in use stays: " + error);
            refused_ = errors.empty() ? std::string() : errors.front();
        } else if (signal == SIGTERM || signal == SIGINT) {
            Log::info(std::string("stopped by SIG") + sigabbrev_np(signal));
            return true;
        }
    }
    return false;
}

int ServiceLoop::finish(int status) {
    supervisor_.stopping();
    return status;
}

}  // namespace SyncSys
