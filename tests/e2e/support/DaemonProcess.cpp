#include "DaemonProcess.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "tavi.h"

namespace E2e {

namespace {

std::string busAddress(const Environment& env) {
    auto it = env.find("TAVI_BUS_ADDRESS");
    if (it != env.end()) {
        return it->second;
    }
    const char* address = std::getenv("TAVI_BUS_ADDRESS");
    return address != nullptr ? address : "";
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

std::string DaemonProcess::defaultBinary() {
    return SYNC_DAEMON_PATH;
}

DaemonProcess::Options::Options(std::string argv0, Environment env)
    : argv0(std::move(argv0)), env(std::move(env)), binary(defaultBinary()) {}

DaemonProcess::DaemonProcess(Options options)
    : ChildProcess(childOptions(options)), bus_(busAddress(options.env)), mailboxId_(TAVI_NO_ID) {}

bool DaemonProcess::waitUntilReady(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    if (!bus_.waitForOwner(kServiceBusName, timeout, [this] { return !running(); }) ||
        bus_.processOf(kServiceBusName) != pid()) {
        return false;
    }
    // The name is published half-way through start-up; the answer comes from the loop.
    auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    mailboxId_ = askId(std::max(left, std::chrono::milliseconds(1))).value_or(TAVI_NO_ID);
    return mailboxId_ != TAVI_NO_ID;
}

std::optional<uint32_t> DaemonProcess::askId(std::chrono::milliseconds timeout) {
    return bus_.mailboxId(kServiceBusName, timeout);
}

}  // namespace E2e
