#include "Gatherer.h"

#include <utility>

#include "StatusSocket.h"

namespace SyncExporter {

Gatherer::Gatherer(const Settings& settings, Gathered gathered)
    : settings_(settings), gathered_(std::move(gathered)) {
    for (const NodeMetrics::Source source : {NodeMetrics::ESMCD, NodeMetrics::PORTD, NodeMetrics::CLOCKD})
        programs_[source] = std::make_unique<StatusQuery>(
            SyncSys::StatusSocket::path(settings_.statusDir, NodeMetrics::program(source)));
}

void Gatherer::start(TimePoint now) {
    if (running_)
        return;
    running_ = true;
    started_ = now;
    const TimePoint deadline = now + settings_.timeout;
    for (const auto& program : programs_)
        if (program)
            program->start(deadline);
    daemon_.start(now, deadline);
}

std::vector<int> Gatherer::descriptors() const {
    std::vector<int> fds = daemon_.descriptors();
    for (const auto& program : programs_)
        if (program && program->busy())
            fds.push_back(program->fd());
    return fds;
}

void Gatherer::process() {
    for (const auto& program : programs_)
        if (program && program->busy())
            program->read();
}

Gatherer::TimePoint Gatherer::work(TimePoint now) {
    if (!running_)
        return TimePoint::max();
    TimePoint due = daemon_.work(now);
    bool busy = daemon_.busy();
    for (const auto& program : programs_) {
        if (program) {
            due = std::min(due, program->work(now));
            busy = busy || program->busy();
        }
    }
    if (busy)
        return due;
    running_ = false;
    NodeMetrics::Answers answers;
    answers[NodeMetrics::DAEMON] = {daemon_.answered(), daemon_.answers(), daemon_.failure()};
    for (size_t source = 0; source < programs_.size(); ++source)
        if (programs_[source])
            answers[source] = {
                programs_[source]->answered(), {programs_[source]->document()}, programs_[source]->failure()};
    gathered_(answers, started_);
    return TimePoint::max();
}

}  // namespace SyncExporter
