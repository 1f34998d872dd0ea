#ifndef SYNC_CONTROL_EPOLLPROXY_H
#define SYNC_CONTROL_EPOLLPROXY_H

#include <sys/epoll.h>

namespace Sync {

class EventCallbackInterface;

// The process's one epoll instance: every wait of the daemon happens here. Each registration keeps
// the callback object's address as the descriptor's epoll user data, so the proxy holds no table and
// the callback object must outlive its registration.
class EpollProxy {
  public:
    static constexpr int kMaxEvents = 9;

    static EpollProxy& instance();

    virtual ~EpollProxy();
    EpollProxy(const EpollProxy&) = delete;
    EpollProxy& operator=(const EpollProxy&) = delete;

    // Watches fd for readability (level-triggered); a kernel refusal aborts the process.
    void addFd(int fd, EventCallbackInterface* cbObj);
    // Stops watching fd; a kernel refusal aborts the process.
    void removeFd(int fd);
    // Blocks until at least one descriptor is ready, then serves at most kMaxEvents of them in the
    // kernel's order. False only when the wait failed for another reason than a signal.
    bool waitAndDispatchEvents();

    void createFd();
    void closeFd();
    int getEpollFd() const { return epollFd; }

  private:
    EpollProxy();
    void onEvent(const epoll_event& event);

    int epollFd;
    epoll_event events[kMaxEvents];
};

}  // namespace Sync

#endif
