#ifndef SYNC_EXPORTER_HTTPSERVER_H
#define SYNC_EXPORTER_HTTPSERVER_H

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct MHD_Connection;
struct MHD_Daemon;
struct MHD_Response;

namespace SyncExporter {

// GET /metrics over HTTP with libmicrohttpd, on the program's own loop: each listening address is a
// libmicrohttpd daemon in external mode with epoll, whose one descriptor the loop watches, so that
// the exporter stays one thread and a scrape never waits for a lock.
//
// A scrape is answered at once with the last exposition while it is fresh; otherwise the request is
// suspended, a gather is wanted, and every request that waits is answered with the exposition of
// the gather that ends next, however many scrapers came meanwhile. Anything but GET or HEAD of
// /metrics gets 404 or 405; libmicrohttpd answers malformed requests and headers too large for a
// connection's memory itself (400, 431). Each is a warning.
class HttpServer {
  public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;
    static constexpr const char* PATH = "/metrics";

    // `wanted` is called when a scrape found no fresh exposition and waits for a gather.
    explicit HttpServer(std::function<void()> wanted);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Listens on each address (an IPv4 or IPv6 literal) at `port` (0: one the kernel picks); false,
    // with error(), when any of them cannot be had.
    bool listen(const std::vector<std::string>& addresses, uint16_t port);
    const std::string& error() const { return error_; }
    // The URLs of /metrics, for the log.
    std::vector<std::string> urls() const;

    std::vector<int> descriptors() const;
    // Serves whatever is ready, without blocking.
    void run();
    // When libmicrohttpd wants to run next (connection time-outs).
    TimePoint due(TimePoint now) const;

    // The exposition of a gather that ended, fresh until `expires`: the requests that wait get it,
    // and new ones until it expires.
    void publish(const std::string& text, TimePoint expires);
    uint64_t scrapes() const { return scrapes_; }

  private:
    struct Listener {
        MHD_Daemon* daemon;
        std::string url;
    };
    // libmicrohttpd's callbacks, with its types.
    friend struct HttpCallbacks;

    // A request for /metrics: answered with a fresh exposition, or suspended until the next one
    // (`waited`); true when it was answered now.
    bool scrape(MHD_Connection* connection, bool& waited);

    std::function<void()> wanted_;
    std::vector<Listener> listeners_;
    MHD_Response* current_ = nullptr;
    TimePoint expires_{};
    std::vector<MHD_Connection*> waiting_;
    uint64_t scrapes_ = 0;
    std::string error_;
};

}  // namespace SyncExporter

#endif
