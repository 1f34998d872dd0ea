#include "PrivateJournal.h"

#include <poll.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <nlohmann/json.hpp>
#include <sstream>

namespace E2e {

namespace {

const char* const JOURNALD = "/lib/systemd/systemd-journald";
const char* const RUNTIME_JOURNAL = "/run/log/journal";
const char* const PERSISTENT_JOURNAL = "/var/log/journal";

std::string failed(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

}  // namespace

PrivateJournal::PrivateJournal() {
    if (geteuid() != 0)
        why_ = "a mount namespace needs root";
    else if (access(JOURNALD, X_OK) != 0)
        why_ = failed(JOURNALD);
    else if (!start())
        journald_.reset();
}

PrivateJournal::~PrivateJournal() {
    if (journald_)
        journald_->stop();
    if (varMounted_)
        umount2(PERSISTENT_JOURNAL, MNT_DETACH);
}

bool PrivateJournal::start() {
    if (unshare(CLONE_NEWNS) != 0) {
        why_ = failed("unshare");
        return false;
    }
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", "/run", "tmpfs", 0, "mode=0755") != 0) {
        why_ = failed("mount");
        return false;
    }
    for (const char* path : {"/run/systemd", "/run/systemd/journal", "/run/log", RUNTIME_JOURNAL})
        mkdir(path, 0755);
    struct stat persistent {};
    const std::string empty = dir_.file("var");
    if (stat(PERSISTENT_JOURNAL, &persistent) == 0) {
        mkdir(empty.c_str(), 0755);
        if (mount(empty.c_str(), PERSISTENT_JOURNAL, nullptr, MS_BIND, nullptr) != 0) {
            why_ = failed("mount --bind over /var/log/journal");
            return false;
        }
        varMounted_ = true;
    }

    // journald says READY=1 on the notification socket once it takes entries.
    const int notify = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = dir_.file("notify");
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (notify < 0 || bind(notify, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        why_ = failed("notification socket");
        if (notify >= 0)
            close(notify);
        return false;
    }
    journald_ = std::make_unique<ChildProcess>(std::vector<std::string>{JOURNALD},
                                               Environment{{"NOTIFY_SOCKET", path}});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    bool ready = false;
    while (!ready && journald_->running()) {
        pollfd ready_fd{notify, POLLIN, 0};
        if (poll(&ready_fd, 1, ChildProcess::millisecondsLeft(deadline)) <= 0)
            break;
        char text[512];
        const ssize_t got = recv(notify, text, sizeof text - 1, 0);
        text[got > 0 ? got : 0] = '\0';
        ready = std::strstr(text, "READY=1") != nullptr;
    }
    close(notify);
    if (!ready)
        why_ = "systemd-journald did not get ready: " + journald_->output();
    return ready;
}

std::vector<PrivateJournal::Entry> PrivateJournal::entries(pid_t pid) const {
    const ChildProcess::Result read =
        ChildProcess::run({"journalctl", "--directory", RUNTIME_JOURNAL, "--output", "json", "--no-pager",
                           "_PID=" + std::to_string(pid)},
                          std::chrono::seconds(30));
    std::vector<Entry> entries;
    std::istringstream lines(read.output);
    for (std::string line; std::getline(lines, line);) {
        const nlohmann::json fields = nlohmann::json::parse(line, nullptr, false);
        if (!fields.is_object())
            continue;  // "-- No entries --" and the like
        Entry entry;
        for (const auto& [name, value] : fields.items())
            if (value.is_string())
                entry[name] = value.get<std::string>();
        entries.push_back(entry);
    }
    return entries;
}

}  // namespace E2e
