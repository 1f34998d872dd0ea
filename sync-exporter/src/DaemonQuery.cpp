#include "DaemonQuery.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "BusNames.h"
#include "Log.h"

namespace SyncExporter {

namespace {

const char* const COMMAND = "synclumovcontrol";
const char* const DAEMON_SERVICE = "SyncLumovControl";
const char* const DAEMON_DOMAIN = "sync";
// What the metrics need of the daemon, asked in this order: the large answer first, so that it is
// read while the daemon answers the small one.
const std::vector<std::vector<std::string>> QUESTIONS = {{COMMAND, "info", "output", "--json"},
                                                         {COMMAND, "status", "--json"}};

// The command server's drops are the daemon's bad input: warnings, never stderr alone.
class Drops : public SyncPeers::PeerListener {
  public:
    void dropped(const std::string& why) override { SyncSys::Log::warning("command server: " + why); }
};
Drops drops;

}  // namespace

DaemonQuery::DaemonQuery(std::string mailboxName) : mailboxName_(std::move(mailboxName)) {}

DaemonQuery::~DaemonQuery() = default;

void DaemonQuery::start(TimePoint now, TimePoint deadline) {
    answers_.clear();
    answered_ = false;
    failure_.clear();
    deadline_ = deadline;
    state_ = TAKING_NAME;
    takeName(now);
}

std::vector<int> DaemonQuery::descriptors() const {
    if (!server_ || server_->fd() < 0)
        return {};
    return {server_->fd()};
}

DaemonQuery::TimePoint DaemonQuery::work(TimePoint now) {
    if (state_ == IDLE)
        return TimePoint::max();
    if (state_ == TAKING_NAME && now >= retry_)
        takeName(now);
    if (state_ == REGISTERING || state_ == ANSWERING) {
        server_->processPending(0);
        ask();
    }
    if (state_ != IDLE && now >= deadline_)
        end(state_ == TAKING_NAME   ? "another command server held \"" + mailboxName_ + "\" all the time"
            : state_ == REGISTERING ? std::string("it did not register its command in time")
                                    : std::string("it did not finish its answer in time"));
    if (state_ == IDLE)
        return TimePoint::max();
    TimePoint due = deadline_;
    if (state_ == TAKING_NAME)
        due = std::min(due, retry_);
    const int busTimeout = server_ ? server_->timeoutMs() : -1;
    if (busTimeout >= 0)
        due = std::min(due, now + std::chrono::milliseconds(busTimeout));
    return due;
}

void DaemonQuery::takeName(TimePoint now) {
    server_ = std::make_unique<SyncPeers::CommandServer>(mailboxName_);
    server_->setListener(&drops);
    if (!server_->open()) {
        const int error = -server_->lastErrno();
        server_.reset();
        if (error == EEXIST) {
            retry_ = now + RETRY;  // an operator's command holds it for its call
            return;
        }
        end(error == EACCES || error == EPERM ? "the bus refused the command server's names"
                                              : std::string("the bus: ") + std::strerror(error));
        return;
    }
    if (!server_->busNameOwned(Sync::Platform::BusNames::service(DAEMON_SERVICE, DAEMON_DOMAIN))) {
        end("it is not running");
        return;
    }
    state_ = REGISTERING;
}

// Sends the next question once the daemon registered and answered the last one.
void DaemonQuery::ask() {
    if (state_ == REGISTERING) {
        const SyncPeers::CommandServer::Registration* registration = server_->findRegistration(COMMAND);
        if (registration == nullptr)
            return;
        daemon_ = registration->pid;
        state_ = ANSWERING;
        server_->sendRequest(daemon_, QUESTIONS[0]);
        return;
    }
    const SyncPeers::CommandServer::Answer& answer = server_->answer();
    if (answer.lost) {
        end("it went away before it finished its answer");
        return;
    }
    if (!answer.complete)
        return;
    answers_.push_back(answer.text());
    if (answers_.size() < QUESTIONS.size()) {
        server_->sendRequest(daemon_, QUESTIONS[answers_.size()]);
        return;
    }
    answered_ = true;
    end("");
}

void DaemonQuery::end(const std::string& failure) {
    failure_ = failure;
    if (!answered_)
        answers_.clear();
    server_.reset();  // leaves the bus: the name is free for the next one at once
    state_ = IDLE;
}

}  // namespace SyncExporter
