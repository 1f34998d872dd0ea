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
#include "Options.h"
#include "PortControlServer.h"
#include "ScenarioParser.h"
#include "ScenarioRunner.h"
#include "SimExit.h"
#include "SyncControlServer.h"

namespace {

using SyncSim::SimExit;
using SyncSys::Options;

const char* const PROGRAM = "sync-sim";

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

struct Choices {
    bool exitAfterSteps = false;
    bool withDataPlane = true;
    bool withPorts = true;
    bool withSync = true;
    bool stepsFromInput = false;
};

Options commandLine(Choices& choices) {
    Options options(
        PROGRAM, "[--exit] [--no-dataplane] [--no-ports] [--no-sync] [--stdin] SCENARIO",
        "Runs the simulated port-control server (mailbox \"iepcsi-server\"), sync-control server\n"
        "(service \"sci\" in domain \"sync\") and SyncE data-plane client in one process, plays the\n"
        "steps of SCENARIO against the sync-lumov-control daemon and prints each step, the data\n"
        "plane's connection changes and every order the data plane receives (\"order: ...\").\n"
        "The scenario format is described in sim/README.md.\n"
        "\n"
        "After the last step the peers keep serving until SIGTERM or SIGINT, unless the scenario\n"
        "ends with `exit` or --exit is given.");
    options.addFlag("exit", "end after the scenario's steps", [&choices] { choices.exitAfterSteps = true; });
    options.addFlag(
        "no-dataplane",
        "leave the data-plane client out, for a real one (sync-esmcd); the steps mac-forward, wait "
        "connected and wait orders then fail",
        [&choices] { choices.withDataPlane = false; });
    options.addFlag("no-ports", "leave the port-control server out (for sync-portd); the port steps fail",
                    [&choices] { choices.withPorts = false; });
    options.addFlag("no-sync", "leave the sync-control server out (for sync-clockd); its steps fail",
                    [&choices] { choices.withSync = false; });
    options.addFlag("stdin",
                    "after the scenario, play further steps read from standard input, one per line, as they "
                    "come (a bad line is named on stderr and skipped)",
                    [&choices] { choices.stepsFromInput = true; });
    options.allowOperands(1);
    options.addText("The bus is $TAVI_BUS_ADDRESS, or the system bus when it is not set.");
    options.addCodes("Exit status:", SyncSim::SimExit::CODES);
    return options;
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
    Choices choices;
    Options options = commandLine(choices);
    if (const Options::Outcome outcome = options.parse(argc, argv); outcome != Options::RUN)
        return outcome;
    if (options.operands().empty())
        return options.fail("no scenario file given");
    const char* path = options.operands()[0].c_str();
    std::ifstream file(path);
    if (!file) {
        std::fprintf(stderr, "%s: cannot read %s: %s\n", PROGRAM, path, std::strerror(errno));
        return SimExit::USAGE;
    }
    SyncSim::ScenarioParser parser;
    if (!parser.parse(file)) {
        for (const std::string& error : parser.errors())
            std::fprintf(stderr, "%s: %s: %s\n", PROGRAM, path, error.c_str());
        return SimExit::USAGE;
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
    if ((choices.withPorts && !openPeer(ports, "port-control server")) ||
        (choices.withSync && !openPeer(sync, "sync-control server")) ||
        (choices.withDataPlane && !openPeer(dataPlane, "data-plane client")))
        return SimExit::FAILED;
    std::printf("peers up:");
    if (choices.withPorts)
        std::printf(" port-control server %u (%zu ports)", ports.id(), scenario.ports.size());
    if (choices.withSync)
        std::printf(" sync-control server %u", sync.id());
    if (choices.withDataPlane)
        std::printf(" data-plane client %u", dataPlane.id());
    std::printf("\n");
    std::fflush(stdout);

    SyncSim::ScenarioRunner runner(ports, sync, dataPlane, stdout);
    runner.setStopFlag(&stopRequested);
    if (!runner.run(scenario)) {
        std::fprintf(stderr, "%s: %s: %s\n", PROGRAM, path, runner.error().c_str());
        return SimExit::FAILED;
    }
    if (choices.exitAfterSteps || scenario.endsWithExit()) {
        std::printf("scenario done\n");
        return SimExit::DONE;
    }
    std::printf("scenario done; serving until SIGTERM or SIGINT\n");
    std::fflush(stdout);
    if (choices.stepsFromInput)
        runner.serveUntilStopped(STDIN_FILENO, parser);
    else
        runner.serveUntilStopped();
    return SimExit::DONE;
}
