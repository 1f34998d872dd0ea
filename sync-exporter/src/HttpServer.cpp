#include "HttpServer.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/select.h>

#include <cstdio>
#include <cstring>

#include "Exposition.h"
#include "Log.h"

namespace SyncExporter {

namespace {

constexpr unsigned CONNECTIONS = 32;
constexpr unsigned IDLE_SECONDS = 10;  // a client that sends nothing for this long is dropped

// The client of a connection as "address:port", for warnings.
std::string clientOf(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    char host[NI_MAXHOST] = "?";
    char port[NI_MAXSERV] = "?";
    if (info != nullptr && info->client_addr != nullptr) {
        const socklen_t size =
            info->client_addr->sa_family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
        getnameinfo(info->client_addr, size, host, sizeof host, port, sizeof port,
                    NI_NUMERICHOST | NI_NUMERICSERV);
    }
    return std::string(host) + ":" + port;
}

// Printable text of what a client sent, at most 80 bytes of it.
std::string shown(const std::string& text) {
    std::string out;
    for (const char c : text.substr(0, 80))
        out += c >= 0x20 && c < 0x7F ? c : '?';
    return text.size() > 80 ? out + "..." : out;
}

}  // namespace

struct HttpCallbacks {
    static MHD_Result answer(void* self, MHD_Connection* connection, const char* url, const char* method,
                             const char*, const char*, size_t*, void**) {
        const std::string path = url != nullptr ? url : "";
        const std::string verb = method != nullptr ? method : "";
        if (path != HttpServer::PATH)
            return refuse(connection, MHD_HTTP_NOT_FOUND, verb + " " + path,
                          std::string("sync-exporter serves ") + HttpServer::PATH + "\n");
        if (verb != MHD_HTTP_METHOD_GET && verb != MHD_HTTP_METHOD_HEAD)
            return refuse(connection, MHD_HTTP_METHOD_NOT_ALLOWED, verb + " " + path, "GET or HEAD only\n");
        return MHD_queue_response(connection, MHD_HTTP_OK, static_cast<HttpServer*>(self)->exposition());
    }

    static MHD_Result refuse(MHD_Connection* connection, unsigned status, const std::string& request,
                             const std::string& body) {
        SyncSys::Log::warning("http: " + shown(request) + " from " + clientOf(connection) + ": answered " +
                              std::to_string(status));
        MHD_Response* response = MHD_create_response_from_buffer(body.size(), const_cast<char*>(body.data()),
                                                                 MHD_RESPMEM_MUST_COPY);
        MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, "text/plain; charset=utf-8");
        if (status == MHD_HTTP_METHOD_NOT_ALLOWED)
            MHD_add_response_header(response, MHD_HTTP_HEADER_ALLOW, "GET, HEAD");
        const MHD_Result queued = MHD_queue_response(connection, status, response);
        MHD_destroy_response(response);
        return queued;
    }

    static void logged(void*, const char* format, va_list arguments) {
        char text[512];
        std::vsnprintf(text, sizeof text, format, arguments);
        std::string line = text;
        // Its messages may carry the HTML page it answered with: the status code says enough.
        const size_t page = line.find(" ('<html>");
        if (page != std::string::npos)
            line = line.substr(0, page) + ")";
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == '.'))
            line.pop_back();
        SyncSys::Log::warning("http: " + line);
    }
};

HttpServer::HttpServer(std::chrono::milliseconds maxAge, std::function<std::string()> gather)
    : maxAge_(maxAge), gather_(std::move(gather)) {}

HttpServer::~HttpServer() {
    for (const Listener& listener : listeners_)
        MHD_stop_daemon(listener.daemon);
    if (current_ != nullptr)
        MHD_destroy_response(current_);
}

bool HttpServer::listen(const std::vector<std::string>& addresses, uint16_t port) {
    for (const std::string& address : addresses) {
        sockaddr_in v4{};
        sockaddr_in6 v6{};
        v4.sin_family = AF_INET;
        v4.sin_port = htons(port);
        v6.sin6_family = AF_INET6;
        v6.sin6_port = htons(port);
        const bool isV6 = inet_pton(AF_INET6, address.c_str(), &v6.sin6_addr) == 1;
        if (!isV6 && inet_pton(AF_INET, address.c_str(), &v4.sin_addr) != 1) {
            error_ = "listen address " + address + ": not an IPv4 or IPv6 address";
            return false;
        }
        const sockaddr* where =
            isV6 ? reinterpret_cast<const sockaddr*>(&v6) : reinterpret_cast<const sockaddr*>(&v4);
        const unsigned flags = MHD_USE_ERROR_LOG | (isV6 ? MHD_USE_IPv6 : 0);
        MHD_Daemon* daemon = MHD_start_daemon(
            flags, port, nullptr, nullptr, &HttpCallbacks::answer, this, MHD_OPTION_EXTERNAL_LOGGER,
            &HttpCallbacks::logged, this, MHD_OPTION_SOCK_ADDR, where, MHD_OPTION_CONNECTION_LIMIT,
            CONNECTIONS, MHD_OPTION_CONNECTION_TIMEOUT, IDLE_SECONDS, MHD_OPTION_END);
        if (daemon == nullptr) {
            error_ = "cannot listen on " + address + " port " + std::to_string(port) + " (see above)";
            return false;
        }
        const uint16_t bound = MHD_get_daemon_info(daemon, MHD_DAEMON_INFO_BIND_PORT)->port;
        listeners_.push_back(Listener{
            daemon, "http://" + (isV6 ? "[" + address + "]" : address) + ":" + std::to_string(bound) + PATH});
    }
    return true;
}

std::vector<std::string> HttpServer::urls() const {
    std::vector<std::string> all;
    for (const Listener& listener : listeners_)
        all.push_back(listener.url);
    return all;
}

std::vector<int> HttpServer::descriptors(bool writing) const {
    std::vector<int> fds;
    for (const Listener& listener : listeners_) {
        fd_set read, write, except;
        FD_ZERO(&read);
        FD_ZERO(&write);
        FD_ZERO(&except);
        int most = -1;
        if (MHD_get_fdset2(listener.daemon, &read, &write, &except, &most, FD_SETSIZE) != MHD_YES)
            continue;
        for (int fd = 0; fd <= most; ++fd)
            if (FD_ISSET(fd, writing ? &write : &read))
                fds.push_back(fd);
    }
    return fds;
}

void HttpServer::run() {
    for (const Listener& listener : listeners_)
        MHD_run(listener.daemon);
}

HttpServer::TimePoint HttpServer::due(TimePoint now) const {
    TimePoint due = TimePoint::max();
    for (const Listener& listener : listeners_) {
        MHD_UNSIGNED_LONG_LONG ms = 0;
        if (MHD_get_timeout(listener.daemon, &ms) == MHD_YES)
            due = std::min(due, now + std::chrono::milliseconds(ms));
    }
    return due;
}

MHD_Response* HttpServer::exposition() {
    const TimePoint started = Clock::now();
    if (current_ != nullptr && started < expires_)
        return current_;
    const std::string text = gather_();
    if (current_ != nullptr)
        MHD_destroy_response(current_);  // requests still sending it keep it until they are done
    current_ =
        MHD_create_response_from_buffer(text.size(), const_cast<char*>(text.data()), MHD_RESPMEM_MUST_COPY);
    MHD_add_response_header(current_, MHD_HTTP_HEADER_CONTENT_TYPE, Exposition::CONTENT_TYPE);
    expires_ = started + maxAge_;
    return current_;
}

}  // namespace SyncExporter
