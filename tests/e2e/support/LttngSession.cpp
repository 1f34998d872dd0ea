#include "LttngSession.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include "Command.h"

namespace E2e {

namespace {

constexpr auto kCommandTimeout = std::chrono::seconds(60);
const char* const kChannel = "e2e";

// Blocks SIGUSR1 for as long as it lives and makes it readable on a descriptor instead: the
// session daemon started with --sig-parent reports readiness with it, and unblocked it would end
// the test program.
class ReadySignal {
  public:
    ReadySignal() {
        sigset_t usr1;
        sigemptyset(&usr1);
        sigaddset(&usr1, SIGUSR1);
        pthread_sigmask(SIG_BLOCK, &usr1, &previous_);
        fd_ = signalfd(-1, &usr1, SFD_CLOEXEC | SFD_NONBLOCK);
    }
    ~ReadySignal() {
        // A signal that comes late is taken here rather than delivered once unblocked.
        received();
        if (fd_ >= 0) {
            close(fd_);
        }
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    ReadySignal(const ReadySignal&) = delete;
    ReadySignal& operator=(const ReadySignal&) = delete;

    int fd() const { return fd_; }
    bool received() {
        signalfd_siginfo info{};
        bool any = false;
        while (fd_ >= 0 && read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
            any = true;
        }
        return any;
    }

  private:
    sigset_t previous_{};
    int fd_ = -1;
};

}  // namespace

LttngSession::LttngSession(std::string name, std::chrono::milliseconds startTimeout)
    : name_(std::move(name)), home_("sync-e2e-lttng") {
    startDaemon(startTimeout);
}

LttngSession::~LttngSession() {
    if (created_) {
        destroy();
    }
    if (sessiond_) {
        sessiond_->stop(std::chrono::seconds(10));
    }
}

Environment LttngSession::environment() const {
    return {{"LTTNG_HOME", home_.path()}};
}

bool LttngSession::startDaemon(std::chrono::milliseconds timeout) {
    if (home_.path().empty()) {
        error_ = "no temporary directory for LTTNG_HOME";
        return false;
    }
    std::string failure;
    {
        ReadySignal ready;
        auto daemon = std::make_unique<ChildProcess>(
            ChildProcess::Options{"lttng-sessiond",
                                  {"lttng-sessiond", "--no-kernel", "--sig-parent"},
                                  environment(),
                                  sessiondOutput_.fd()});
        bool signalled = false;
        auto ended = daemon->waitExit(timeout, ready.fd(), [&] { return signalled = ready.received(); });
        if (signalled && daemon->running()) {
            sessiond_ = std::move(daemon);
        } else {
            failure = ended ? "ended with " + ended->describe() : "did not report ready in time";
            // Stopped while SIGUSR1 is still blocked, so a late readiness signal is harmless.
            daemon->stop();
        }
    }
    if (!sessiond_) {
        error_ =
            "lttng-sessiond " + failure + " (is another session daemon running?):\n" + sessiondOutput_.text();
    }
    return ready();
}

bool LttngSession::lttng(const std::vector<std::string>& args) {
    if (!ready()) {
        return false;  // never talk to a session daemon this object did not start
    }
    std::vector<std::string> argv{"lttng"};
    argv.insert(argv.end(), args.begin(), args.end());
    Command::Result result = Command::run(argv, kCommandTimeout, environment());
    if (!result.succeeded()) {
        error_ = result.describe(argv);
        return false;
    }
    return true;
}

bool LttngSession::create() {
    created_ = lttng({"create", name_, "--output=" + outputDirectory()});
    return created_;
}

bool LttngSession::enableEvents(const std::string& pattern) {
    if (!channel_) {
        channel_ = lttng({"enable-channel", "--userspace", "--session=" + name_, kChannel}) &&
                   lttng({"add-context", "--userspace", "--session=" + name_,
                          "--channel=" + std::string(kChannel), "--type=vpid"});
        if (!channel_) {
            return false;
        }
    }
    return lttng(
        {"enable-event", "--userspace", "--session=" + name_, "--channel=" + std::string(kChannel), pattern});
}

bool LttngSession::start() {
    return lttng({"start", name_});
}

bool LttngSession::stop() {
    return lttng({"stop", name_});
}

bool LttngSession::destroy() {
    bool destroyed = lttng({"destroy", name_});
    created_ = created_ && !destroyed;
    return destroyed;
}

bool LttngSession::startRecording() {
    return create() && enableEvents() && start();
}

std::vector<TraceRecord> LttngSession::read() {
    std::vector<std::string> argv{"babeltrace2", "--no-delta", "--clock-seconds", outputDirectory()};
    Command::Result result = Command::run(argv, kCommandTimeout);
    if (!result.succeeded()) {
        error_ = result.describe(argv);
        return {};
    }
    return TraceRecord::parseAll(result.output);
}

}  // namespace E2e
