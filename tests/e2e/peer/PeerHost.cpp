// One simulated peer in a process of its own, so that a test can kill it with SIGKILL the way a
// crashing peer goes: the port-control server, the sync-control server, the data-plane client or the
// command server, chosen by the argument, on the bus of TAVI_BUS_ADDRESS. The peer tells the daemon
// what FronthaulScript says and reports its progress on stdout, one line each, flushed at once:
//     port       "status sent" once all ports subscribed
//     sync       "rec created" once all three subscriptions came and REC and quality are sent
//     dataplane  "connected" when the daemon confirms, then each order as DataPlaneClient describes it
//     command    "registered NAME" for each registration
// With `echo NAME` it is a mailbox of that name that sends every message it receives back to the
// sender, bytes unchanged (exits 2 when the bus goes away).
// Runs until it is killed; exits 64 on a wrong argument, 1 when its mailbox cannot be made.
#include <poll.h>

#include <cstdio>
#include <string>

#include "CommandServer.h"
#include "DataPlaneRecorder.h"
#include "FronthaulScript.h"
#include "Mailbox.h"
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

int runEcho(const char* name) {
    auto mailbox = Sync::Platform::Mailbox::create(name);
    if (!mailbox)
        return fail(std::string("cannot create mailbox ") + name);
    for (;;) {
        pollfd p{mailbox->fd(), POLLIN, 0};
        poll(&p, 1, -1);
        while (void* msg = mailbox->receive())
            mailbox->send(&msg, tavi_sender(msg));
        if ((p.revents & (POLLHUP | POLLERR)) != 0 || !mailbox->connected())
            return 2;
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::string role = argc >= 2 ? argv[1] : "";
    if (role == "echo" && argc == 3)
        return runEcho(argv[2]);
    if (role == "port")
        return runPorts();
    if (role == "sync")
        return runSync();
    if (role == "dataplane")
        return runDataPlane();
    if (role == "command")
        return runCommands();
    std::fprintf(stderr, "usage: %s port|sync|dataplane|command|echo NAME\n", argv[0]);
    return 64;
}
