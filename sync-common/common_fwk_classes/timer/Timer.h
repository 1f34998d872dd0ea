#ifndef SYNC_COMMON_TIMER_H
#define SYNC_COMMON_TIMER_H

#include <sys/timerfd.h>

#include <cstdint>

#include "control/EventCallbackInterface.h"
#include "eventHandling/IEntity.h"

namespace Sync {
namespace Timer {

// When a timer first expires, counted from start, and its period after that (zero: one-shot). It is
// only the timer's constructor argument, so it lives beside the timer.
struct TimerSpec {
    struct Span {
        int32_t sec;
        int32_t nsec;
    };
    Span toFirstInterrupt;
    Span betweenInterrupts;
};

// A one-shot or periodic timer on a timerfd, served by the epoll loop. Each expiry raises one
// Control::TimerEvent::TIMEOUT_EVENT with the timer as source; nothing happens asynchronously.
// A timer whose descriptor could not be made (or broke) stays an object whose operations are skipped.
class Timer : public IEntity, public EventCallbackInterface {
  public:
    // Creates the descriptor and registers it with the epoll proxy; the timer is not running.
    explicit Timer(const TimerSpec& spec);
    ~Timer() override;
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    // Arms the timer counting from now (a running timer restarts). An all-zero TimerSpec disarms instead.
    virtual void start();
    // Disarms. Expiries already counted stay pending and are delivered by the next onRead (which the
    // loop calls once the descriptor is readable again).
    virtual void stop();
    // The entity named as subject of each TIMEOUT_EVENT.
    virtual IEntity* getEventSource();
    virtual bool isStarted();
    void onError() override;
    void onRead() override;

    // Expiries since the last read (including any kept by start or stop); 0 when none, on error, or
    // without a descriptor.
    uint64_t readTimeoutCounts();
    int getFd() const { return fd; }

  private:
    // Rearming a timerfd clears its expiry counter, so expiries counted but not yet read are taken
    // out first and kept for the next read.
    bool arm(const itimerspec& value);
    uint64_t readCounter();

    int fd;
    itimerspec spec;
    // False once an error took the descriptor out of the epoll set (it stays open until destruction).
    bool watched;
    uint64_t keptExpiries;
};

}  // namespace Timer
}  // namespace Sync

#endif
