#include "NetLab.h"

#include <net/if.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <atomic>
#include <chrono>
#include <sstream>
#include <vector>

#include "ChildProcess.h"
#include "NetnsScope.h"

namespace E2e {

namespace {

bool run(const std::vector<std::string>& argv) {
    return ChildProcess::run(argv, std::chrono::seconds(20)).succeeded();
}

// Namespaces of test programs that were killed before they could delete their own.
void removeOrphans() {
    std::istringstream names(ChildProcess::run({"ip", "netns", "list"}, std::chrono::seconds(20)).output);
    for (std::string line; std::getline(names, line);) {
        const std::string name = line.substr(0, line.find(' '));
        if (name.rfind("sle2e-", 0) != 0)
            continue;
        const long pid = std::strtol(name.c_str() + 6, nullptr, 10);
        if (pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            run({"ip", "netns", "delete", name});
    }
}

}  // namespace

NetLab::NetLab(int ports) {
    static std::atomic<int> counter{0};
    removeOrphans();
    const std::string stem = "sle2e-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    node_ = stem + "-node";
    far_ = stem + "-far";
    ready_ = run({"ip", "netns", "add", node_}) && run({"ip", "netns", "add", far_});
    for (int port = 1; ready_ && port <= ports; ++port)
        ready_ = run({"ip", "link", "add", nodeLink(port), "netns", node_, "type", "veth", "peer", "name",
                      farLink(port), "netns", far_}) &&
                 ip(node_, "link set " + nodeLink(port) + " up") &&
                 ip(far_, "link set " + farLink(port) + " up");
}

NetLab::~NetLab() {
    // Deleting a namespace takes its veth ends, and with them their peers, along.
    run({"ip", "netns", "delete", node_});
    run({"ip", "netns", "delete", far_});
}

bool NetLab::switchLink(const std::string& netns, const std::string& link, bool up) {
    const SyncSys::NetnsScope scope(netns);
    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    bool done = scope.entered();
    ifreq request{};
    std::strncpy(request.ifr_name, link.c_str(), IFNAMSIZ - 1);
    done = done && fd >= 0 && ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags = static_cast<short>(up ? request.ifr_flags | IFF_UP : request.ifr_flags & ~IFF_UP);
    done = done && ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    if (fd >= 0)
        close(fd);
    return done;
}

bool NetLab::ip(const std::string& netns, const std::string& args) {
    std::vector<std::string> argv = {"ip", "-n", netns};
    std::istringstream words(args);
    for (std::string word; words >> word;)
        argv.push_back(word);
    return run(argv);
}

}  // namespace E2e
