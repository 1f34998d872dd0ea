#ifndef SYNC_EXPORTER_HTTPSERVER_H
#define SYNC_EXPORTER_HTTPSERVER_H

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct MHD_Daemon;
struct MHD_Response;

namespace SyncExporter {

// GET /metrics over HTTP with libmicrohttpd, on the program's own loop: each listening address is a
// libmicrohttpd daemon in external select mode, whose sockets the loop watches as libmicrohttpd asks
// (to read, to write), so that the exporter stays one thread.
//
// A scrape is answered with the last exposition while it is fresh (younger than maxAge); otherwise
// the exposition is gathered anew first, within the gather's own bound, while other requests wait:
// any number of scrapers cost one gather per maxAge. (libmicrohttpd's suspended requests were
// tried first, to gather without holding the loop: in the version Debian 12 ships a request resumed
// while another connection was open was never answered.) Anything but GET or HEAD of /metrics gets
// 404 or 405; libmicrohttpd answers malformed requests and headers too large for a connection's
// memory itself (400, 414, 431). Each is a warning.
class HttpServer {
  public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;
    static constexpr const char* PATH = "/metrics";

    // `gather` gives a fresh exposition.
    HttpServer(std::chrono::milliseconds maxAge, std::function<std::string()> gather);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Listens on each address (an IPv4 or IPv6 literal) at `port` (0: one the kernel picks); false,
    // with error(), when any of them cannot be had.
    bool listen(const std::vector<std::string>& addresses, uint16_t port);
    const std::string& error() const { return error_; }
    // The URLs of /metrics, for the log.
    std::vector<std::string> urls() const;

    // What libmicrohttpd waits for: its sockets to read (listening ones included), to write.
    std::vector<int> readable() const { return descriptors(false); }
    std::vector<int> writable() const { return descriptors(true); }
    // Serves whatever is ready, without waiting for anything but a gather.
    void run();
    // When libmicrohttpd wants to run next (idle connections to drop).
    TimePoint due(TimePoint now) const;

  private:
    struct Listener {
        MHD_Daemon* daemon;
        std::string url;
    };
    // libmicrohttpd's callbacks, with its types.
    friend struct HttpCallbacks;

    std::vector<int> descriptors(bool writing) const;
    // The exposition to answer a scrape with, gathered anew unless it is fresh.
    MHD_Response* exposition();

    std::chrono::milliseconds maxAge_;
    std::function<std::string()> gather_;
    std::vector<Listener> listeners_;
    MHD_Response* current_ = nullptr;
    TimePoint expires_{};
    std::string error_;
};

}  // namespace SyncExporter

#endif
