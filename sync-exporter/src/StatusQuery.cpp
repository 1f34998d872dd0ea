#include "StatusQuery.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace SyncExporter {

StatusQuery::StatusQuery(std::string path) : path_(std::move(path)) {}

StatusQuery::~StatusQuery() {
    if (fd_ >= 0)
        close(fd_);
}

void StatusQuery::start(TimePoint deadline) {
    if (fd_ >= 0)
        close(fd_);
    deadline_ = deadline;
    answered_ = false;
    document_.clear();
    failure_.clear();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path_.size() >= sizeof address.sun_path) {
        failure_ = path_ + ": path too long";
        return;
    }
    std::memcpy(address.sun_path, path_.c_str(), path_.size() + 1);
    fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    // A Unix socket connects at once or not at all: EAGAIN is a listener that does not accept.
    if (fd_ < 0 || connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        end(path_ + ": " + std::strerror(errno));
}

void StatusQuery::read() {
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got > 0) {
            document_.append(buffer, static_cast<size_t>(got));
            if (document_.size() > MOST_BYTES) {
                end(path_ + ": more than " + std::to_string(MOST_BYTES >> 20) + " MiB");
                return;
            }
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && errno == EAGAIN)
            return;
        if (got < 0) {
            end(path_ + ": " + std::strerror(errno));
            return;
        }
        answered_ = true;
        end("");
        return;
    }
}

StatusQuery::TimePoint StatusQuery::work(TimePoint now) {
    if (fd_ < 0)
        return TimePoint::max();
    if (now >= deadline_) {
        end(path_ + ": no whole answer in time");
        return TimePoint::max();
    }
    return deadline_;
}

void StatusQuery::end(const std::string& failure) {
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
    failure_ = failure;
    if (!answered_)
        document_.clear();
}

}  // namespace SyncExporter
