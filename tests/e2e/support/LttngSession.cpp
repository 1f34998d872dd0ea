#include "LttngSession.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <thread>

namespace E2e {

namespace {

constexpr auto kCommandTimeout = std::chrono::seconds(60);
const char* const kSession = "sync-e2e";
const char* const kChannel = "--channel=e2e";

}  // namespace

LttngSession::LttngSession() : home_("sync-e2e-lttng") {
    // The session daemon started with --sig-parent reports readiness with SIGUSR1, which is blocked
    // meanwhile and read from a descriptor instead: unblocked it would end the test program.
    sigset_t usr1, previous;
    sigemptyset(&usr1);
    sigaddset(&usr1, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &usr1, &previous);
    const int fd = signalfd(-1, &usr1, SFD_CLOEXEC | SFD_NONBLOCK);
    const auto received = [fd] {
        signalfd_siginfo info{};
        bool any = false;
        while (fd >= 0 && ::read(fd, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
            any = true;
        return any;
    };
    // A session daemon of another test program on this machine holds the system-wide sockets until
    // it ends: this one tries again for a bounded while.
    for (const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(3); !sessiond_;) {
        auto daemon = std::make_unique<ChildProcess>(
            std::vector<std::string>{"lttng-sessiond", "--no-kernel", "--sig-parent"}, environment());
        bool signalled = false;
        const auto ended =
            daemon->waitExit(std::chrono::seconds(60), fd, [&] { return signalled = received(); });
        if (signalled && daemon->running() && !home_.path().empty()) {
            sessiond_ = std::move(daemon);
            break;
        }
        error_ = "lttng-sessiond " + (ended ? "ended with " + ended->describe() : "did not report ready") +
                 ":\n" + daemon->output();
        daemon->stop();  // while SIGUSR1 is still blocked, so a late readiness signal is harmless
        if (error_.find("already running") == std::string::npos || std::chrono::steady_clock::now() > giveUp)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    received();  // a signal that comes late is taken here rather than delivered once unblocked
    if (fd >= 0)
        close(fd);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

LttngSession::~LttngSession() {
    if (created_)
        lttng({"destroy", kSession});
    if (sessiond_)
        sessiond_->stop(std::chrono::seconds(10));
}

bool LttngSession::lttng(const std::vector<std::string>& args) {
    if (!ready())
        return false;  // never talk to a session daemon this object did not start
    std::vector<std::string> argv{"lttng"};
    argv.insert(argv.end(), args.begin(), args.end());
    const ChildProcess::Result result = ChildProcess::run(argv, kCommandTimeout, environment());
    if (!result.succeeded())
        error_ = result.describe(argv);
    return result.succeeded();
}

bool LttngSession::startRecording(const std::vector<std::string>& patterns) {
    const std::string session = std::string("--session=") + kSession;
    created_ = lttng({"create", kSession, "--output=" + home_.file("trace")});
    bool ok = created_ && lttng({"enable-channel", "--userspace", session, "e2e"}) &&
              lttng({"add-context", "--userspace", session, kChannel, "--type=vpid"});
    for (const std::string& pattern : patterns)
        ok = ok && lttng({"enable-event", "--userspace", session, kChannel, pattern});
    return ok && lttng({"start", kSession});
}

std::vector<TraceRecord> LttngSession::read() {
    if (!lttng({"stop", kSession}))
        return {};
    const std::vector<std::string> argv{"babeltrace2", "--no-delta", "--clock-seconds", home_.file("trace")};
    const ChildProcess::Result result = ChildProcess::run(argv, kCommandTimeout);
    if (!result.succeeded()) {
        error_ = result.describe(argv);
        return {};
    }
    return TraceRecord::parseAll(result.output);
}

}  // namespace E2e
