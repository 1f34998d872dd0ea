#ifndef SYNC_E2E_HTTPPROBE_H
#define SYNC_E2E_HTTPPROBE_H

#include <chrono>
#include <cstdint>
#include <string>

namespace E2e {

// Plain HTTP to a TCP port of a network namespace (ip-netns name; empty: the test's own), as a scraper
// or a hostile client would speak it: one connection per request, the request's bytes as given, the
// reply read to the end of the connection; every wait is bounded.
class HttpProbe {
  public:
    struct Reply {
        int status = 0;  // 0: no answer (refused, closed without a status line, or timed out)
        std::string body;
    };

    HttpProbe(std::string netns, std::string address, uint16_t port);

    // GET of target (path and query) with HTTP/1.0.
    Reply get(const std::string& target, std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;
    // Sends bytes as they are and reads the reply.
    Reply send(const std::string& bytes, std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;
    // A connection that sends nothing, for the caller to close; -1 when none could be made.
    int idle() const;

  private:
    std::string netns_;
    std::string address_;
    uint16_t port_;
};

}  // namespace E2e

#endif
