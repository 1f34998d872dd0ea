#ifndef SYNC_EXPORTER_STATUSQUERY_H
#define SYNC_EXPORTER_STATUSQUERY_H

#include <chrono>
#include <string>

namespace SyncExporter {

// Reads one program's status socket for a gather without blocking: connects, reads the document to
// the end (the program closes after it), bounded by the gather's deadline and by MOST_BYTES.
class StatusQuery {
  public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;
    static constexpr size_t MOST_BYTES = 64u << 20;

    explicit StatusQuery(std::string path);
    ~StatusQuery();
    StatusQuery(const StatusQuery&) = delete;
    StatusQuery& operator=(const StatusQuery&) = delete;

    void start(TimePoint deadline);
    bool busy() const { return fd_ >= 0; }
    // The socket while it reads; -1 otherwise.
    int fd() const { return fd_; }
    // Reads what arrived.
    void read();
    // Gives up once the deadline passed; when it wants to run next.
    TimePoint work(TimePoint now);

    // After it ended: whether the program answered, its document, or why not.
    bool answered() const { return answered_; }
    const std::string& document() const { return document_; }
    const std::string& failure() const { return failure_; }

  private:
    void end(const std::string& failure);

    std::string path_;
    int fd_ = -1;
    TimePoint deadline_{};
    bool answered_ = false;
    std::string document_;
    std::string failure_;
};

}  // namespace SyncExporter

#endif
