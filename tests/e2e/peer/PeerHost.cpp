// One simulated peer in a process of its own, so that a test can kill it with SIGKILL the way a
// crashing peer goes: the port-control server, the sync-control server, the data-plane client or the
// command server, chosen by the argument, on the bus of TAVI_BUS_ADDRESS. The peer tells the daemon
// what FronthaulScript says and reports its progress on stdout, one line each, flushed at once:
//     port       "status sent" once all ports subscribed
//     sync       "rec created" once all three subscriptions came and REC and quality are sent
//     dataplane  "connected" when the daemon confirms, then each order as DataPlaneClient describes it
//     command    "registered NAME" for each registration
// Runs until it is killed; exits 64 on a wrong argument, 1 when its mailbox cannot be made.
#include <cstdio>
#include <string>

#include "CommandServer.h"
#include "DataPlaneRecorder.h"
#include "FronthaulScript.h"
#include "PortControlServer.h"
#include "SyncControlServer.h"
#include "tavi.h"

namespace {

constexpr int kWaitMs = 1000;

void report(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

int fail(const std::string& error) {
    std::fprintf(stderr, "peer-host: %s\n", error.c_str());
    return 1;
}

int runPorts() {
    SyncPeers::PortControlServer server;
    server.setPorts(E2e::FronthaulScript::ports());
    if (!server.open())
        return fail(server.lastError());
    for (bool statusSent = false;;) {
        server.processOnce(kWaitMs);
        if (!statusSent && server.subscriptions().size() == E2e::FronthaulScript::kPorts) {
            server.sendAllPortStatus();
            statusSent = true;
            report("status sent");
        }
    }
}

int runSync() {
    SyncPeers::SyncControlServer server;
    if (!server.open())
        return fail(server.lastError());
    for (bool scripted = false;;) {
        server.processOnce(kWaitMs);
        if (!scripted && server.subscriptions().size() == 3) {
            server.sendRecCreate();
            server.sendClockSettledQuality(E2e::FronthaulScript::kQuality);
            scripted = true;
            report("rec created");
        }
    }
}

int runDataPlane() {
    SyncPeers::DataPlaneClient client;
    SyncSim::DataPlaneRecorder heard;
    client.setListener(&heard);
    if (!client.open())
        return fail(client.lastError());
    bool connected = false;
    for (size_t reported = 0;;) {
        client.processOnce(kWaitMs);
        if (!connected && client.state() == SyncPeers::DataPlaneClient::State::CONNECTED) {
            connected = true;
            report("connected");
        }
        for (; reported < heard.orders().size(); ++reported)
            report(heard.orders()[reported].describe());
    }
}

int runCommands() {
    SyncPeers::CommandServer server;
    if (!server.open())
        return fail(server.lastError());
    for (size_t reported = 0;;) {
        server.processOnce(kWaitMs);
        for (; reported < server.registrations().size(); ++reported) {
            const auto& args = server.registrations()[reported].args;
            report("registered " + (args.empty() ? std::string("?") : args.front()));
        }
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::string role = argc >= 2 ? argv[1] : "";
    if (role == "port")
        return runPorts();
    if (role == "sync")
        return runSync();
    if (role == "dataplane")
        return runDataPlane();
    if (role == "command")
        return runCommands();
    std::fprintf(stderr, "usage: %s port|sync|dataplane|command\n", argv[0]);
    return 64;
}
