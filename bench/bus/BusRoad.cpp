#include "BusRoad.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

#include "DaemonProcess.h"
#include "DataPlaneClient.h"
#include "DataPlaneRecorder.h"
#include "PortControlServer.h"
#include "ServerRecorder.h"
#include "SyncControlServer.h"

namespace Sync {
namespace Bench {

namespace {

using Clock = std::chrono::steady_clock;
using SyncPeers::DataPlaneClient;
using SyncPeers::PortControlServer;
using SyncPeers::SyncControlServer;

constexpr int kServeMs = 20;
constexpr auto kSetUpLimit = std::chrono::seconds(60);
constexpr auto kRoadLimit = std::chrono::seconds(600);
constexpr uint32_t EPRTC = 20;

// What the peer threads tell the conductor; each field is written by one thread only.
struct Progress {
    std::atomic<bool> stop{false};
    std::atomic<bool> failed{false};
    std::atomic<bool> syncOpen{false};
    std::atomic<bool> dataPlaneOpen{false};
    std::atomic<bool> recAnnounced{false};
    std::atomic<bool> dataPlaneConnected{false};
    std::atomic<bool> roadDone{false};
    std::atomic<bool> supportAnswered{false};
    Clock::time_point supportAt;
    Clock::time_point lastOrderAt;
    // Counted by the port-control thread.
    size_t subscriptions = 0;
    size_t statusSent = 0;
    // Counted by the data-plane thread.
    size_t creates = 0;
    size_t transmits = 0;
    size_t esmcControls = 0;
    size_t otherOrders = 0;
    std::string error;  // written before failed is set
};

bool waitUntil(const std::function<bool()>& done, Clock::duration limit, const Progress& progress) {
    const Clock::time_point deadline = Clock::now() + limit;
    while (!done()) {
        if (progress.failed || Clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void fail(Progress& progress, const std::string& error) {
    if (!progress.failed.exchange(true)) {
        progress.error = error;
    }
}

void serveSyncControl(Progress& progress) {
    SyncControlServer server;
    if (!server.open()) {
        fail(progress, "sync-control server: " + server.lastError());
        return;
    }
    progress.syncOpen = true;
    while (!progress.stop && server.subscriptions().size() < 3) {
        server.processOnce(kServeMs);
    }
    server.sendClockSettledQuality(EPRTC);
    server.sendRecCreate();
    progress.recAnnounced = true;
    while (!progress.stop) {
        server.processOnce(kServeMs);
    }
}

void serveDataPlane(Progress& progress, uint32_t ports) {
    DataPlaneClient client;
    SyncSim::DataPlaneRecorder heard;
    client.setListener(&heard);
    if (!client.open()) {
        fail(progress, "data-plane client: " + client.lastError());
        return;
    }
    progress.dataPlaneOpen = true;
    size_t seen = 0;
    while (!progress.stop) {
        client.processOnce(kServeMs);
        if (!progress.dataPlaneConnected && client.state() == DataPlaneClient::State::CONNECTED) {
            progress.dataPlaneConnected = true;
        }
        const auto& orders = heard.orders();
        for (; seen < orders.size(); ++seen) {
            switch (orders[seen].kind) {
                case DataPlaneClient::Order::OUTPUT_CREATE:
                    ++progress.creates;
                    break;
                case DataPlaneClient::Order::TRANSMIT_SSM:
                    ++progress.transmits;
                    break;
                case DataPlaneClient::Order::ESMC_CONTROL:
                    ++progress.esmcControls;
                    break;
                default:
                    ++progress.otherOrders;
                    break;
            }
        }
        if (!progress.roadDone && progress.esmcControls >= ports) {
            progress.lastOrderAt = Clock::now();
            progress.roadDone = true;
        }
    }
}

std::string portName(uint32_t n) {
    char name[16];
    std::snprintf(name, sizeof name, "P%05u", n);
    return name;
}

void servePortControl(Progress& progress, uint32_t ports) {
    PortControlServer server;
    SyncSim::PortControlRecorder heard;
    server.setListener(&heard);
    std::vector<PortControlServer::Port> table(ports);
    for (uint32_t i = 0; i < ports; ++i) {
        table[i].rhaiId = 1000 + i;
        table[i].macAddress = {2, 0, 0, uint8_t(i >> 16), uint8_t(i >> 8), uint8_t(i)};
        table[i].portName = portName(i);
        table[i].interfaceName = "eth" + std::to_string(i);
        table[i].networkNamespace = "ns1";
    }
    server.setPorts(std::move(table));
    if (!server.open()) {
        fail(progress, "port-control server: " + server.lastError());
        return;
    }
    size_t seen = 0;
    bool statusSent = false;
    while (!progress.stop) {
        server.processOnce(kServeMs);
        const auto& received = heard.received();
        for (; seen < received.size(); ++seen) {
            const uint32_t msgno = received[seen].msgno;
            if (msgno == PortControlServer::IEPCSI_GET_ETH_PORT_SUPPORT_REQ && !progress.supportAnswered) {
                // Handled at once: the confirmation has just been sent.
                progress.supportAt = Clock::now();
                progress.supportAnswered = true;
            } else if (msgno == PortControlServer::IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ) {
                ++progress.subscriptions;
            }
        }
        if (!statusSent && progress.subscriptions >= ports) {
            progress.statusSent = server.sendAllPortStatus();
            statusSent = true;
        }
    }
}

}  // namespace

BusRoad::Result BusRoad::run(uint32_t ports, const std::string& lttngHome, const std::string& binary) {
    Result result;
    Progress progress;
    std::vector<std::thread> peers;
    peers.emplace_back(serveSyncControl, std::ref(progress));
    peers.emplace_back(serveDataPlane, std::ref(progress), ports);
    auto finish = [&](const std::string& error) {
        progress.stop = true;
        for (std::thread& peer : peers) {
            peer.join();
        }
        result.error = progress.failed ? progress.error : error;
        return result;
    };

    if (!waitUntil([&] { return progress.syncOpen && progress.dataPlaneOpen; }, kSetUpLimit, progress)) {
        return finish("the peers did not open their mailboxes");
    }
    E2e::DaemonProcess::Options options("", {{"LTTNG_HOME", lttngHome}});
    if (!binary.empty()) {
        options.binary = binary;
    }
    E2e::DaemonProcess daemon(options);
    if (!daemon.waitUntilReady()) {
        return finish("the daemon did not start:\n" + daemon.output());
    }
    if (!waitUntil([&] { return progress.recAnnounced && progress.dataPlaneConnected; }, kSetUpLimit,
                   progress)) {
        return finish("the daemon did not connect to the sync-control server and the data plane");
    }
    peers.emplace_back(servePortControl, std::ref(progress), ports);
    const bool done = waitUntil([&] { return progress.roadDone.load(); }, kRoadLimit, progress);
    const bool running = daemon.running();
    progress.stop = true;
    for (std::thread& peer : peers) {
        peer.join();
    }
    peers.clear();
    daemon.stop();
    if (!done || !running) {
        return finish(std::string(running ? "the road did not end in time" : "the daemon ended") + ": " +
                      std::to_string(progress.subscriptions) + " subscriptions, " +
                      std::to_string(progress.creates) + " creates, " +
                      std::to_string(progress.esmcControls) + " ESMC controls of " + std::to_string(ports));
    }
    if (progress.subscriptions != ports || progress.statusSent != ports || progress.creates != ports ||
        progress.transmits != ports || progress.esmcControls != ports || progress.otherOrders != 0) {
        return finish("unexpected counts: " + std::to_string(progress.subscriptions) + " subscriptions, " +
                      std::to_string(progress.statusSent) + " status, " + std::to_string(progress.creates) +
                      " creates, " + std::to_string(progress.transmits) + " transmits, " +
                      std::to_string(progress.esmcControls) + " ESMC controls, " +
                      std::to_string(progress.otherOrders) + " other orders");
    }
    // Received: the port support, each subscription's confirmation, each status, each creation's
    // confirmation. Sent: each subscription and every order.
    const size_t received = 1 + progress.subscriptions + progress.statusSent + progress.creates;
    const size_t sent =
        progress.subscriptions + progress.creates + progress.transmits + progress.esmcControls;
    result.ok = true;
    result.messages = received + sent;
    result.seconds = std::chrono::duration<double>(progress.lastOrderAt - progress.supportAt).count();
    return result;
}

}  // namespace Bench
}  // namespace Sync
