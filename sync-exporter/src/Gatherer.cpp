#include "Gatherer.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>

#include "StatusSocket.h"

namespace SyncExporter {

Gatherer::Gatherer(const Settings& settings) : settings_(settings) {
    for (const NodeMetrics::Source source : {NodeMetrics::ESMCD, NodeMetrics::PORTD, NodeMetrics::CLOCKD})
        programs_[source] = std::make_unique<StatusQuery>(
            SyncSys::StatusSocket::path(settings_.statusDir, NodeMetrics::program(source)));
}

NodeMetrics::Answers Gatherer::gather() {
    const TimePoint started = Clock::now();
    const TimePoint deadline = started + settings_.timeout;
    for (const auto& program : programs_)
        if (program)
            program->start(deadline);
    daemon_.start(started, deadline);
    daemonRead_ = {};
    NodeMetrics::Answers answers;
    bool busy = true;
    for (TimePoint now = started;; now = Clock::now()) {
        const TimePoint due = work(now, answers, busy);
        if (!busy)
            break;
        std::vector<pollfd> fds;
        for (const int fd : descriptors())
            fds.push_back(pollfd{fd, POLLIN, 0});
        const auto wait =
            std::chrono::ceil<std::chrono::milliseconds>(std::max(due - now, Clock::duration(0)));
        if (poll(fds.data(), fds.size(), static_cast<int>(wait.count())) < 0 && errno != EINTR)
            break;  // cannot happen with these descriptors; the deadline ends the queries anyway
        for (const auto& program : programs_)
            if (program && program->busy())
                program->read();
    }
    return answers;
}

std::vector<int> Gatherer::descriptors() const {
    std::vector<int> fds = daemon_.descriptors();
    for (const auto& program : programs_)
        if (program && program->busy())
            fds.push_back(program->fd());
    return fds;
}

Gatherer::TimePoint Gatherer::work(TimePoint now, NodeMetrics::Answers& answers, bool& busy) {
    TimePoint due = daemon_.work(now);
    // Its answers are read as they come: the outputs while it answers the status.
    for (size_t next = daemonRead_.documents.size();
         next < daemon_.answers().size() && daemonRead_.failure.empty(); ++next)
        NodeMetrics::readMore(daemonRead_, daemon_.answers()[next]);
    NodeMetrics::Answer& daemon = answers[NodeMetrics::DAEMON];
    if (!daemon_.busy() && !daemon.answered && daemon.failure.empty())
        daemon =
            daemon_.answered() ? std::move(daemonRead_) : NodeMetrics::Answer{false, {}, daemon_.failure()};
    busy = daemon_.busy();
    for (size_t source = 0; source < programs_.size(); ++source) {
        StatusQuery* program = programs_[source].get();
        if (program == nullptr)
            continue;
        due = std::min(due, program->work(now));
        // A document is read as soon as it is whole, while the daemon is still asked.
        if (!program->busy() && !answers[source].answered && answers[source].failure.empty())
            answers[source] = program->answered() ? NodeMetrics::read({program->document()})
                                                  : NodeMetrics::Answer{false, {}, program->failure()};
        busy = busy || program->busy();
    }
    return due;
}

}  // namespace SyncExporter
