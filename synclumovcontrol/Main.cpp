// The operator's command: becomes the command server for one call, waits for the daemon to register
// "synclumovcontrol", runs the command and prints the daemon's answer exactly as it was sent.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "CommandServer.h"

namespace {

const char* const COMMAND = "synclumovcontrol";
constexpr int REGISTRATION_TIMEOUT_MS = 3000;
constexpr int ANSWER_TIMEOUT_MS = 10000;

void printHelp() {
    std::printf(
        "usage: %s info [ feature | output | ethernet | all ]\n"
        "\n"
        "Prints the state of the running sync-lumov-control daemon:\n"
        "  feature   the SyncE output feature\n"
        "  output    the SyncE outputs\n"
        "  ethernet  the Ethernet ports\n"
        "  all       all of the above\n"
        "\n"
        "The daemon is reached on $TAVI_BUS_ADDRESS, or the system bus when it is not set. It must\n"
        "register its command within %d s; its answer (errors included) is printed as it is sent.\n",
        COMMAND, REGISTRATION_TIMEOUT_MS / 1000);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args{COMMAND};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            printHelp();
            return 0;
        }
        args.emplace_back(argv[i]);
    }

    SyncPeers::CommandServer server;
    if (!server.open()) {
        std::fprintf(stderr, "%s: %s\n", COMMAND, server.lastError().c_str());
        return 2;
    }
    const SyncPeers::CommandServer::Registration* daemon =
        server.waitForRegistration(COMMAND, REGISTRATION_TIMEOUT_MS);
    if (daemon == nullptr) {
        std::fprintf(
            stderr,
            "%s: no daemon registered the command \"%s\" within %d s; is sync-lumov-control running?\n",
            COMMAND, COMMAND, REGISTRATION_TIMEOUT_MS / 1000);
        return 1;
    }
    const bool answered = server.runCommand(daemon->pid, args, ANSWER_TIMEOUT_MS);
    const std::string text = server.answer().text();
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    if (!answered) {
        std::fprintf(stderr, "%s: %s\n", COMMAND,
                     server.answer().lost ? "the daemon went away before it finished its answer"
                                          : "the daemon did not finish its answer in time");
        return 1;
    }
    return 0;
}
