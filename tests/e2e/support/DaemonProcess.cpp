#include "DaemonProcess.h"

#include <cstdlib>
#include <utility>

#include "TestPeer.h"
#include "tavi.h"

namespace E2e {

namespace {

std::string busAddress(const Environment& env) {
    const char* address = std::getenv("TAVI_BUS_ADDRESS");
    return env.count("TAVI_BUS_ADDRESS") != 0 ? env.at("TAVI_BUS_ADDRESS")
           : address != nullptr               ? address
                                              : "";
}

// The daemon names its mailbox after the base name of its argv[0] ('/' or '\\' before it), which a
// wrapper leaves the binary's.
std::string mailboxName(const DaemonProcess::Options& options) {
    const std::string& argv0 =
        options.wrapper.empty() && !options.argv0.empty() ? options.argv0 : options.binary;
    return argv0.substr(argv0.find_last_of("/\\") + 1);
}

ChildProcess::Options childOptions(const DaemonProcess::Options& options) {
    if (!options.wrapper.empty()) {
        std::vector<std::string> argv = options.wrapper;
        argv.push_back(options.binary);
        return {argv, options.env};
    }
    return {{options.argv0.empty() ? options.binary : options.argv0}, options.env, -1, -1, options.binary};
}

}  // namespace

DaemonProcess::DaemonProcess(Options options)
    : ChildProcess(childOptions(options)),
      address_(busAddress(options.env)),
      mailboxName_(mailboxName(options)),
      mailboxId_(TAVI_NO_ID) {}

bool DaemonProcess::waitUntilReady(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    TestPeer watcher("e2e-ready-" + std::to_string(pid()));
    std::optional<uint32_t> id;
    // The daemon's mailbox is found once it answers Id(); asked in slices, so that a daemon that
    // ended is noticed.
    while (!id && watcher.ok() && running() && std::chrono::steady_clock::now() < deadline)
        id = watcher.locate(mailboxName_, std::chrono::seconds(1));
    mailboxId_ = id && processOf(kServiceBusName) == pid() ? *id : TAVI_NO_ID;
    return mailboxId_ != TAVI_NO_ID;
}

std::string DaemonProcess::call(const std::vector<std::string>& args) const {
    std::vector<std::string> argv = {"busctl", "--address=" + address_, "call"};
    argv.insert(argv.end(), args.begin(), args.end());
    const ChildProcess::Result result = ChildProcess::run(argv, std::chrono::seconds(10));
    return result.succeeded() && result.output.size() > 2 ? result.output.substr(2) : std::string();
}

std::string DaemonProcess::ownerOf(const std::string& busName) const {
    const std::string owner = call({"org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                    "GetNameOwner", "s", busName});
    return owner.size() > 3 ? owner.substr(1, owner.size() - 3) : std::string();  // "\":1.7\"\n"
}

pid_t DaemonProcess::processOf(const std::string& busName) const {
    const std::string pid = call({"org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                  "GetConnectionUnixProcessID", "s", busName});
    return pid.empty() ? -1 : static_cast<pid_t>(std::stol(pid));
}

std::optional<uint32_t> DaemonProcess::askId() const {
    const std::string id = call({kServiceBusName, "/org/tavi/Mailbox", "org.tavi.Mailbox", "Id"});
    return id.empty() ? std::nullopt : std::optional<uint32_t>(static_cast<uint32_t>(std::stoul(id)));
}

}  // namespace E2e
