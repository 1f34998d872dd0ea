#ifndef SYNC_COMMON_TIMERSPEC_H
#define SYNC_COMMON_TIMERSPEC_H

#include <cstdint>

namespace Sync {
namespace Timer {

// When a timer first expires, counted from start, and its period after that (zero: one-shot).
struct TimerSpec {
    struct Span {
        int32_t sec;
        int32_t nsec;
    };
    Span toFirstInterrupt;
    Span betweenInterrupts;
};

}  // namespace Timer
}  // namespace Sync

#endif
