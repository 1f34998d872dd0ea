// sync-portd on veth links: how long it takes to start serving many ports, and how long a link change
// takes from the moment the interface is switched to the status indication a subscriber receives.
//   bench-portd-links startup PORTS
//   bench-portd-links toggle TOGGLES
// sync-portd runs as a child process on a private bus; this program is its client (a mailbox that
// connects, subscribes to port 1 and timestamps every status indication) and switches the link
// itself (SIOCSIFFLAGS inside the namespace), so no helper process stands in the measured span.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "Mailbox.h"
#include "MessageBuffer.h"
#include "NetLab.h"
#include "PrivateBus.h"
#include "WireBuffer.h"

namespace {

using Clock = std::chrono::steady_clock;
using SyncPeers::WireBuffer;

constexpr uint32_t INIT_SERVICE_REQ = 0x1B1043;
constexpr uint32_t INIT_CFM = 0x1B1044;
constexpr uint32_t SUBSCRIBE_REQ = 0x1B1050;
constexpr uint32_t SUBSCRIBE_CFM = 0x1B1051;
constexpr uint32_t STATUS_IND = 0x1B1055;

// The port-control client: one mailbox, the messages built byte by byte.
class Client {
  public:
    bool connect(std::chrono::seconds limit) {
        mailbox_ = Sync::Platform::Mailbox::create("bench-portd-client");
        if (!mailbox_)
            return false;
        void* located = Sync::Platform::MessageBuffer::allocate(4, 0x7E57);
        mailbox_->locate("iepcsi-server", &located);
        uint32_t server = 0;
        if (!await(limit, [&](const WireBuffer& m, uint32_t from) {
                return m.msgno() == 0x7E57 && (server = from);
            }))
            return false;
        server_ = server;
        WireBuffer init(INIT_SERVICE_REQ, 24);
        init.putBe32(4, 1);
        for (size_t at : {12, 16, 20})
            init.putBe32(at, 1);
        send(init);
        return await(limit, [&](const WireBuffer& m, uint32_t) {
            connection_ = m.be32(8);
            return m.msgno() == INIT_CFM;
        });
    }
    bool subscribe(const std::string& port) {
        WireBuffer request(SUBSCRIBE_REQ, 40);
        request.putBe32(4, 77);
        request.putBe32(8, connection_);
        request.putBe32(12, 4);
        request.putText(16, 16, port);
        send(request);
        return await(std::chrono::seconds(10),
                     [](const WireBuffer& m, uint32_t) { return m.msgno() == SUBSCRIBE_CFM; });
    }
    // The next status indication's arrival and its operational state; nothing within limit: false.
    bool status(std::chrono::seconds limit, Clock::time_point& at, uint32_t& oper) {
        return await(limit, [&](const WireBuffer& m, uint32_t) {
            at = Clock::now();
            oper = m.be32(16);
            return m.msgno() == STATUS_IND;
        });
    }

  private:
    template <typename Done>
    bool await(Clock::duration limit, Done done) {
        const Clock::time_point deadline = Clock::now() + limit;
        while (Clock::now() < deadline) {
            void* msg = mailbox_->receive(20);
            if (msg == nullptr)
                continue;
            const uint32_t size = Sync::Platform::MessageBuffer::size(msg);
            const uint32_t from = Sync::Platform::MessageBuffer::sender(msg);
            const auto* bytes = static_cast<const uint8_t*>(msg);
            WireBuffer message(std::vector<uint8_t>(bytes, bytes + size));
            Sync::Platform::MessageBuffer::release(msg);
            if (done(message, from))
                return true;
        }
        return false;
    }
    void send(const WireBuffer& m) {
        mailbox_->send(m.bytes().data(), static_cast<uint32_t>(m.size()), server_);
    }

    std::unique_ptr<Sync::Platform::Mailbox> mailbox_;
    uint32_t server_ = 0;
    uint32_t connection_ = 0;
};

struct Service {
    Service(const E2e::NetLab& lab, int ports, const std::string& table) {
        std::ofstream file(table);
        for (int n = 1; n <= ports; ++n)
            file << "port fronthaul " << n << " P" << n << " " << E2e::NetLab::nodeLink(n) << " "
                 << lab.node() << "\n";
        file.close();
        E2e::ChildProcess::Options options;
        options.file = SYNC_PORTD_PATH;
        options.argv = {SYNC_PORTD_PATH, "--ports", table};
        started = Clock::now();
        process = std::make_unique<E2e::ChildProcess>(options);
    }
    Clock::time_point started;
    std::unique_ptr<E2e::ChildProcess> process;
};

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const int count = argc > 2 ? std::atoi(argv[2]) : (mode == "startup" ? 1024 : 50);
    if ((mode != "startup" && mode != "toggle") || count <= 0) {
        std::fprintf(stderr, "usage: bench-portd-links startup [PORTS] | toggle [TOGGLES]\n");
        return 2;
    }
    const int ports = mode == "startup" ? count : 1;
    const Clock::time_point made = Clock::now();
    E2e::NetLab lab(ports);
    PrivateBus bus;
    if (!lab.ready() || !bus.running()) {
        std::fprintf(stderr, "bench-portd-links: cannot make the lab or the bus (root needed)\n");
        return 1;
    }
    std::printf("%d veth pairs made in %.1f s\n", ports,
                std::chrono::duration<double>(Clock::now() - made).count());
    char table[] = "/tmp/bench-portd-XXXXXX";
    const int fd = mkstemp(table);
    if (fd >= 0)
        close(fd);
    Service service(lab, ports, table);
    Client client;
    const bool connected = client.connect(std::chrono::seconds(120));
    const Clock::time_point serving = Clock::now();
    uint32_t oper = 0;
    Clock::time_point at;
    if (!connected || !client.subscribe("P1") || !client.status(std::chrono::seconds(10), at, oper)) {
        std::fprintf(stderr, "bench-portd-links: sync-portd did not serve\n%s",
                     service.process->output().c_str());
        unlink(table);
        return 1;
    }
    if (mode == "startup") {
        std::printf("sync-portd serving %d ports %.1f ms after it was started (first status: %.1f ms)\n",
                    ports, ms(serving - service.started), ms(at - service.started));
        unlink(table);
        return 0;
    }
    std::vector<double> down;
    std::vector<double> up;
    for (int k = 0; k < count; ++k) {
        for (const bool raise : {false, true}) {
            const Clock::time_point switched = Clock::now();
            if (!E2e::NetLab::switchLink(lab.node(), "fh1", raise) ||
                !client.status(std::chrono::seconds(5), at, oper)) {
                std::fprintf(stderr, "bench-portd-links: toggle %d: no status indication\n", k);
                unlink(table);
                return 1;
            }
            (raise ? up : down).push_back(ms(at - switched));
        }
        usleep(20000);
    }
    unlink(table);
    for (auto* samples : {&down, &up}) {
        std::sort(samples->begin(), samples->end());
        const auto q = [&](double p) {
            return (*samples)[std::min(samples->size() - 1, size_t(p * double(samples->size())))];
        };
        std::printf("link %s to status indication, %d toggles: median %.2f ms, p99 %.2f ms, max %.2f ms\n",
                    samples == &down ? "down" : "up", count, q(0.5), q(0.99), samples->back());
    }
    return 0;
}
