#ifndef SYNC_LUMOVCONTROL_SUPERVISION_H
#define SYNC_LUMOVCONTROL_SUPERVISION_H

#include <functional>
#include <string>

#include "Supervisor.h"
#include "control/EventCallbackInterface.h"
#include "control/StopSignal.h"

namespace Sync {
namespace LumovControl {

// The daemon as its service manager sees it: READY=1 once it serves on the bus, its one-line status
// kept current, keep-alives while the manager runs a watchdog, STOPPING=1 when SIGTERM ends it. It all
// rides on the daemon's epoll loop: a timer, due for the status once a second and for each keep-alive
// at half the watchdog's interval, and SIGTERM through a StopSignal. A daemon that hangs stops both,
// so the watchdog sees it. Without NOTIFY_SOCKET (tests, the demo, a shell) nothing of this exists and
// the daemon behaves as it always did.
class Supervision : public EventCallbackInterface {
  public:
    using Summary = std::function<std::string()>;

    // `summary` is the status line; asked only while the daemon serves.
    explicit Supervision(Summary summary);
    ~Supervision() override;
    Supervision(const Supervision&) = delete;
    Supervision& operator=(const Supervision&) = delete;

    // The daemon serves on the bus: call it after the controller's init.
    void start();

    void onRead() override;
    void onError() override;

  private:
    // Sends the status (when it changed) and a keep-alive (when due); arms the timer for what is next.
    void tell();
    void closeTimer();

    SyncSys::Supervisor supervisor_;
    Summary summary_;
    StopSignal stop_;
    int timer_ = -1;
};

}  // namespace LumovControl
}  // namespace Sync

#endif
