#include "control/EpollProxy.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "Macros.h"
#include "control/EventCallbackInterface.h"

namespace Sync {

EpollProxy& EpollProxy::instance() {
    static EpollProxy proxy;
    return proxy;
}

EpollProxy::EpollProxy() : epollFd(-1), events{} {
    createFd();
}

EpollProxy::~EpollProxy() {
    closeFd();
}

void EpollProxy::createFd() {
    TRACE_ENTER("%s", "");
    epollFd = epoll_create1(0);
    if (epollFd < 0) {
        TRACE_ERROR("epoll_create1() failed, [errno = %s]", std::strerror(errno));
        std::abort();
    }
    TRACE_DEBUG("Created [epollFd = %d]", epollFd);
    TRACE_RETURN("%s", "");
}

void EpollProxy::closeFd() {
    TRACE_ENTER("%s", "");
    if (epollFd >= 0) {
        if (close(epollFd) != 0) {
            TRACE_ERROR("close() failed, [epollFd = %d, errno = %s]", epollFd, std::strerror(errno));
            TRACE_RETURN("%s", "");
            return;
        }
        TRACE_DEBUG("Closed [epollFd = %d]", epollFd);
        epollFd = -1;
    }
    TRACE_RETURN("%s", "");
}

void EpollProxy::addFd(int fd, EventCallbackInterface* cbObj) {
    TRACE_ENTER("%s(fd: %d, cbObj: %p)", "addFd", fd, static_cast<void*>(cbObj));
    if (fd < 0) {
        TRACE_WARNING("%s invalid [fd = %d]", "addFd", fd);
        return;
    }
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.ptr = cbObj;
    if (epoll_ctl(epollFd, EPOLL_CTL_ADD, fd, &event) != 0) {
        TRACE_ERROR("epoll_ctl() failed to add [fd = %d, errorno = %s]", fd, std::strerror(errno));
        std::abort();
    }
    TRACE_RETURN("epoll added fd: %d, cbObj: %p", fd, static_cast<void*>(cbObj));
}

void EpollProxy::removeFd(int fd) {
    TRACE_ENTER("%s(fd: %d)", "removeFd", fd);
    if (fd < 0) {
        TRACE_WARNING("%s invalid [fd = %d]", "removeFd", fd);
        return;
    }
    if (epoll_ctl(epollFd, EPOLL_CTL_DEL, fd, nullptr) != 0) {
        TRACE_ERROR("epoll_ctl() failed to remove [fd = %d, errorno = %s]", fd, std::strerror(errno));
        std::abort();
    }
    TRACE_RETURN("epoll removed fd: %d", fd);
}

bool EpollProxy::waitAndDispatchEvents() {
    TRACE_ENTER_FREQ("%s", "");
    const int count = epoll_wait(epollFd, events, kMaxEvents, -1);
    if (count == -1) {
        if (errno == EINTR) {
            TRACE_INFO("epoll_wait() failed, return ok, [errorno = %s]", std::strerror(errno));
            return true;
        }
        TRACE_ERROR("epoll_wait() failed, [errorno = %s]", std::strerror(errno));
        return false;
    }
    for (int i = 0; i < count; ++i) {
        onEvent(events[i]);
    }
    TRACE_RETURN_FREQ("%s", "TRUE");
    return true;
}

void EpollProxy::onEvent(const epoll_event& event) {
    auto* cb = static_cast<EventCallbackInterface*>(event.data.ptr);
    if (cb == nullptr) {
        TRACE_WARNING("%s cb lost [epoll.events = 0x%08X]", "onEvent", event.events);
        return;
    }
    if ((event.events & (EPOLLERR | EPOLLHUP)) != 0) {
        TRACE_WARNING("%s error [epoll.events = 0x%08X, cb = %p]", "onEvent", event.events,
                      static_cast<void*>(cb));
        cb->onError();
        return;
    }
    if ((event.events & EPOLLIN) == 0) {
        TRACE_ERROR("Unexpected event [events = 0x%08X, cb = %p]", event.events, static_cast<void*>(cb));
        return;
    }
    cb->onRead();
}

}  // namespace Sync
