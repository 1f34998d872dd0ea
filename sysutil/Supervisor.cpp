#include "Supervisor.h"

#include <systemd/sd-daemon.h>

#include <cstring>

#include "Log.h"

namespace SyncSys {

Supervisor::Supervisor() {
    uint64_t usec = 0;
    if (sd_watchdog_enabled(0, &usec) > 0)
        interval_ = std::chrono::microseconds(usec / 2);
}

void Supervisor::ready() {
    notify("READY=1");
}

void Supervisor::status(const std::string& line) {
    if (line == status_)
        return;
    status_ = line;
    notify("STATUS=" + line);
}

void Supervisor::stopping() {
    notify("STOPPING=1");
}

Supervisor::TimePoint Supervisor::keepAlive(TimePoint now) {
    if (interval_.count() == 0)
        return TimePoint::max();
    if (now >= nextKeepAlive_) {
        notify("WATCHDOG=1");
        nextKeepAlive_ = now + interval_;
    }
    return nextKeepAlive_;
}

void Supervisor::notify(const std::string& state) {
    const int r = sd_notify(0, state.c_str());
    if (r < 0)
        Log::warning("cannot tell the service manager " + state.substr(0, state.find('=')) + ": " +
                     std::strerror(-r));
}

}  // namespace SyncSys
