// The daemon's three simulated peers in one process, played from a scenario file: the port-control
// server, the sync-control server and the data-plane client. Prints every step, the data plane's
// connection changes and every order the data plane receives, one line each; after the scenario it
// keeps serving until SIGTERM or SIGINT, unless the scenario ends with `exit` or --exit is given.
// Each simulated peer can be left out for the real program that takes its place (--no-dataplane,
// --no-ports, --no-sync); with --stdin further steps are read from standard input while it serves.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include <unistd.h>

#include "DataPlaneClient.h"
#include "PortControlServer.h"
#include "ScenarioParser.h"
#include "ScenarioRunner.h"
#include "SyncControlServer.h"

namespace {

const char* const PROGRAM = "sync-sim";

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

void printHelp() {
    std::printf(
        "usage: %s [--exit] [--no-dataplane] [--no-ports] [--no-sync] [--stdin] SCENARIO\n"
        "\n"
        "Runs the simulated port-control server (mailbox \"iepcsi-server\"), sync-control server\n"
        "(service \"sci\" in domain \"sync\") and SyncE data-plane client in one process, plays the\n"
        "steps of SCENARIO against the sync-lumov-control daemon and prints each step, the data\n"
        "plane's connection changes and every order the data plane receives (\"order: ...\").\n"
        "The scenario format is described in sim/README.md.\n"
        "\n"
        "After the last step the peers keep serving until SIGTERM or SIGINT, unless the scenario\n"
        "ends with `exit` or --exit is given.\n"
        "\n"
        "  --no-dataplane  leave the data-plane client out, for a real one (sync-esmcd); the steps\n"
        "                  mac-forward, wait connected and wait orders then fail\n"
        "  --no-ports      leave the port-control server out (for sync-portd); the port steps fail\n"
        "  --no-sync       leave the sync-control server out (for sync-clockd); its steps fail\n"
        "  --stdin         after the scenario, play further steps read from standard input, one\n"
        "                  per line, as they come (a bad line is named on stderr and skipped)\n"
        "\n"
        "The bus is $TAVI_BUS_ADDRESS, or the system bus when it is not set.\n"
        "Exit status: 0 done, 1 a wait ran out, a step failed or a peer could not start,\n"
        "2 bad arguments or a bad scenario (each bad line is named).\n",
        PROGRAM);
}

template <typename Peer>
bool openPeer(Peer& peer, const char* what) {
    if (peer.open())
        return true;
    std::fprintf(stderr, "%s: %s: %s\n", PROGRAM, what, peer.lastError().c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    bool exitAfterSteps = false;
    bool withDataPlane = true;
    bool withPorts = true;
    bool withSync = true;
    bool stepsFromInput = false;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            printHelp();
            return 0;
        }
        if (std::strcmp(argv[i], "--exit") == 0) {
            exitAfterSteps = true;
        } else if (std::strcmp(argv[i], "--no-dataplane") == 0) {
            withDataPlane = false;
        } else if (std::strcmp(argv[i], "--no-ports") == 0) {
            withPorts = false;
        } else if (std::strcmp(argv[i], "--no-sync") == 0) {
            withSync = false;
        } else if (std::strcmp(argv[i], "--stdin") == 0) {
            stepsFromInput = true;
        } else if (argv[i][0] != '-' && path == nullptr) {
            path = argv[i];
        } else {
            std::fprintf(stderr, "%s: unexpected argument \"%s\" (see --help)\n", PROGRAM, argv[i]);
            return 2;
        }
    }
    if (path == nullptr) {
        std::fprintf(stderr, "%s: no scenario file given (see --help)\n", PROGRAM);
        return 2;
    }
    std::ifstream file(path);
    if (!file) {
        std::fprintf(stderr, "%s: cannot read %s: %s\n", PROGRAM, path, std::strerror(errno));
        return 2;
    }
    SyncSim::ScenarioParser parser;
    if (!parser.parse(file)) {
        for (const std::string& error : parser.errors())
            std::fprintf(stderr, "%s: %s: %s\n", PROGRAM, path, error.c_str());
        return 2;
    }
    const SyncSim::Scenario& scenario = parser.scenario();

    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    SyncPeers::PortControlServer ports;
    SyncPeers::SyncControlServer sync;
    SyncPeers::DataPlaneClient dataPlane;
    ports.setPorts(scenario.ports);
    if ((withPorts && !openPeer(ports, "port-control server")) ||
        (withSync && !openPeer(sync, "sync-control server")) ||
        (withDataPlane && !openPeer(dataPlane, "data-plane client")))
        return 1;
    std::printf("peers up:");
    if (withPorts)
        std::printf(" port-control server %u (%zu ports)", ports.id(), scenario.ports.size());
    if (withSync)
        std::printf(" sync-control server %u", sync.id());
    if (withDataPlane)
        std::printf(" data-plane client %u", dataPlane.id());
    std::printf("\n");
    std::fflush(stdout);

    SyncSim::ScenarioRunner runner(ports, sync, dataPlane, stdout);
    runner.setStopFlag(&stopRequested);
    if (!runner.run(scenario)) {
        std::fprintf(stderr, "%s: %s: %s\n", PROGRAM, path, runner.error().c_str());
        return 1;
    }
    if (exitAfterSteps || scenario.endsWithExit()) {
        std::printf("scenario done\n");
        return 0;
    }
    std::printf("scenario done; serving until SIGTERM or SIGINT\n");
    std::fflush(stdout);
    if (stepsFromInput)
        runner.serveUntilStopped(STDIN_FILENO, parser);
    else
        runner.serveUntilStopped();
    return 0;
}
