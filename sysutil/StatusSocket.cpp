#include "StatusSocket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "Log.h"
#include "Options.h"
#include "ServiceLoop.h"

namespace SyncSys {

std::string StatusSocket::path(const std::string& dir, const std::string& program) {
    return dir + "/" + program + ".sock";
}

void StatusSocket::addOption(Options& options, std::string& dir) {
    options.add("status-dir", "DIR",
                std::string("answer every client of the Unix socket DIR/PROGRAM.sock with the status as JSON "
                            "(default ") +
                    DEFAULT_DIR + "; an empty DIR: no socket)",
                [&dir](const std::string& value, std::string&) {
                    dir = value;
                    return true;
                });
}

StatusSocket::StatusSocket(std::function<std::string()> document) : document_(std::move(document)) {}

StatusSocket::~StatusSocket() {
    close();
}

bool StatusSocket::open(const std::string& path) {
    close();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        error_ = "status socket " + path + ": no path of at most " +
                 std::to_string(sizeof address.sun_path - 1) + " characters";
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    // Only a socket is replaced: a program that ended leaves its file behind, and nothing else is ours.
    struct stat before {};
    if (lstat(path.c_str(), &before) == 0 && S_ISSOCK(before.st_mode))
        unlink(path.c_str());
    struct stat made {};
    if (listener_ < 0 || bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        chmod(path.c_str(), 0660) != 0 || listen(listener_, static_cast<int>(MOST_CLIENTS)) != 0 ||
        lstat(path.c_str(), &made) != 0) {
        error_ = "status socket " + path + ": " + std::strerror(errno);
        close();
        return false;
    }
    path_ = path;
    inode_ = made.st_ino;
    return true;
}

void StatusSocket::openIn(const std::string& dir, const std::string& program) {
    if (dir.empty())
        return;
    struct stat there {};
    if (stat(dir.c_str(), &there) != 0 && errno == ENOENT) {
        // The package makes it on a node; anywhere else this is a program run by hand or a test.
        Log::info("no status socket: " + dir + " does not exist");
        return;
    }
    if (open(path(dir, program)))
        Log::info("status on " + path_);
    else
        Log::warning(error_ + "; serving without it");
}

void StatusSocket::serveOn(ServiceLoop& loop) {
    loop.watch([this] { return listener_ >= 0 ? std::vector<int>{listener_} : std::vector<int>{}; },
               [this] { accept(); });
    loop.watch([this] { return writing(); }, [this] { write(); }, POLLOUT);
}

std::vector<int> StatusSocket::writing() const {
    std::vector<int> fds;
    for (const Client& client : clients_)
        fds.push_back(client.fd);
    return fds;
}

void StatusSocket::accept() {
    std::shared_ptr<const std::string> document;  // one for everyone who came at once
    for (int fd;
         listener_ >= 0 && (fd = accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC)) >= 0;) {
        if (!document)
            document = std::make_shared<const std::string>(document_());
        Client client{fd, document, 0};
        if (send(client))
            clients_.push_back(client);
        if (clients_.size() > MOST_CLIENTS) {
            Log::warning("status socket: more than " + std::to_string(MOST_CLIENTS) +
                         " clients do not read their answer; the oldest is dropped");
            ::close(clients_.front().fd);
            clients_.pop_front();
        }
    }
}

void StatusSocket::write() {
    for (auto it = clients_.begin(); it != clients_.end();)
        it = send(*it) ? it + 1 : clients_.erase(it);
}

bool StatusSocket::send(Client& client) {
    while (client.written < client.document->size()) {
        const ssize_t sent = ::send(client.fd, client.document->data() + client.written,
                                    client.document->size() - client.written, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0 && errno == EAGAIN)
            return true;  // the rest once its socket takes more
        if (sent <= 0)
            break;  // the client went away: nothing to tell it any more
        client.written += static_cast<size_t>(sent);
    }
    ::close(client.fd);
    return false;
}

void StatusSocket::close() {
    for (const Client& client : clients_)
        ::close(client.fd);
    clients_.clear();
    if (listener_ >= 0)
        ::close(listener_);
    listener_ = -1;
    struct stat now {};
    if (!path_.empty() && lstat(path_.c_str(), &now) == 0 && now.st_ino == inode_)
        unlink(path_.c_str());
    path_.clear();
}

}  // namespace SyncSys
