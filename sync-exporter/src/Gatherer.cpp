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
    bool busy = true;
    for (TimePoint now = started;; now = Clock::now()) {
        const TimePoint due = work(now, busy);
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
    NodeMetrics::Answers answers;
    answers[NodeMetrics::DAEMON] = {daemon_.answered(), daemon_.answers(), daemon_.failure()};
    for (size_t source = 0; source < programs_.size(); ++source)
        if (programs_[source])
            answers[source] = {
                programs_[source]->answered(), {programs_[source]->document()}, programs_[source]->failure()};
    return answers;
}

std::vector<int> Gatherer::descriptors() const {
    std::vector<int> fds = daemon_.descriptors();
    for (const auto& program : programs_)
        if (program && program->busy())
            fds.push_back(program->fd());
    return fds;
}

Gatherer::TimePoint Gatherer::work(TimePoint now, bool& busy) {
    TimePoint due = daemon_.work(now);
    busy = daemon_.busy();
    for (const auto& program : programs_) {
        if (program) {
            due = std::min(due, program->work(now));
            busy = busy || program->busy();
        }
    }
    return due;
}

}  // namespace SyncExporter
