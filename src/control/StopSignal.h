#ifndef SYNC_LUMOVCONTROL_STOPSIGNAL_H
#define SYNC_LUMOVCONTROL_STOPSIGNAL_H

#include <functional>

#include "control/EventCallbackInterface.h"

namespace Sync {
namespace LumovControl {

// SIGTERM taken through the epoll loop instead of at once, so that something can be said before the
// process goes (the service manager's STOPPING=1). Then the signal ends the process just as it would
// have: by its default action, without the orderly shutdown that only a failed wait brings.
class StopSignal : public EventCallbackInterface {
  public:
    explicit StopSignal(std::function<void()> beforeStop);
    ~StopSignal() override;
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    // Blocks SIGTERM and watches it on the epoll proxy; false (SIGTERM untouched) when no descriptor
    // could be made. Threads started later inherit the block; the mailbox library's thread blocks
    // every signal by itself.
    bool watch();

    void onRead() override;
    void onError() override;

  private:
    // Stops watching the descriptor and closes it, then release().
    void unwatch();
    // Unblocks SIGTERM with its default action: one that is pending ends the process at once.
    void release();

    std::function<void()> beforeStop_;
    int fd_ = -1;
};

}  // namespace LumovControl
}  // namespace Sync

#endif
