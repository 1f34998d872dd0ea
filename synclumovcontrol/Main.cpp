// The operator's command: becomes the command server for one call, waits for the daemon to register
// "synclumovcontrol", runs the command and prints the daemon's answer exactly as it was sent. What it
// cannot do it says in one message and one exit status per cause (the manual page lists them), and a
// command line it does not know never reaches the bus.
#include <poll.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BusNames.h"
#include "CommandServer.h"

namespace {

const char* const COMMAND = "synclumovcontrol";
const char* const DAEMON_SERVICE = "SyncLumovControl";
const char* const DAEMON_DOMAIN = "sync";
// Whatever else asks the daemon holds the command server's name only for its call.
constexpr int NAME_WAIT_MS = 2000;
constexpr int NAME_RETRY_MS = 50;
constexpr int REGISTRATION_TIMEOUT_MS = 3000;
constexpr int ANSWER_TIMEOUT_MS = 10000;

enum Exit {
    OK = 0,
    USAGE = 2,
    BUS_UNREACHABLE = 3,
    BUS_REFUSED = 4,
    NAME_TAKEN = 5,
    NO_DAEMON = 6,
    NO_ANSWER = 7,
};

const char* const USAGE_TEXT =
    "usage: synclumovcontrol info [ feature | output | ethernet | all ] [--json]\n"
    "       synclumovcontrol status [--json]\n"
    "       synclumovcontrol --help | --version\n";

void printHelp() {
    std::printf(
        "%s"
        "\n"
        "Prints the state of the running sync-lumov-control daemon:\n"
        "  info feature   the SyncE output feature\n"
        "  info output    the SyncE outputs\n"
        "  info ethernet  the Ethernet ports\n"
        "  info all       all of the above\n"
        "  status         one screen: the REC and its quality, the selection process mode and\n"
        "                 telecom standard, each peer, how many outputs and ports in which state\n"
        "  --json         one JSON document instead (/usr/share/sync-lumov-control/\n"
        "                 synclumovcontrol.schema.json), with every output and each peer\n"
        "\n"
        "The daemon is reached on $TAVI_BUS_ADDRESS, or the system bus when it is not set. It must\n"
        "register its command within %d s and finish its answer within %d s.\n"
        "Exit status: 0 answered, 2 usage, 3 bus unreachable, 4 refused by the bus, 5 another command\n"
        "server runs, 6 daemon not running, 7 no answer in time.\n",
        USAGE_TEXT, REGISTRATION_TIMEOUT_MS / 1000, ANSWER_TIMEOUT_MS / 1000);
}

int fail(Exit code, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", COMMAND, message.c_str());
    return code;
}

bool isSelection(const std::string& word) {
    return word == "feature" || word == "output" || word == "ethernet" || word == "all";
}

// The forms the daemon answers: info SELECTION [--json], status [--json].
bool isCommand(const std::vector<std::string>& words) {
    const bool json = words.size() > 1 && words.back() == "--json";
    const size_t length = words.size() - (json ? 1 : 0);
    if (length == 2 && words[0] == "info")
        return isSelection(words[1]);
    return length == 1 && words[0] == "status";
}

std::string busText() {
    const char* address = std::getenv("TAVI_BUS_ADDRESS");
    return address != nullptr && *address != '\0' ? std::string("the bus ") + address : "the system bus";
}

// Takes the command server's name, waiting a moment while another holder has it.
int openServer(SyncPeers::CommandServer& server) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(NAME_WAIT_MS);
    while (!server.open()) {
        const int error = -server.lastErrno();
        if (error == EACCES || error == EPERM)
            return fail(BUS_REFUSED, busText() +
                                         " refused the command server's names; is this user in group "
                                         "sync-operators?");
        if (error != EEXIST)
            return fail(BUS_UNREACHABLE, "cannot reach " + busText() + ": " + std::strerror(error));
        if (std::chrono::steady_clock::now() >= deadline)
            return fail(NAME_TAKEN, std::string("another command server holds \"") +
                                        SyncPeers::CommandServer::DEFAULT_MAILBOX + "\" (still after " +
                                        std::to_string(NAME_WAIT_MS / 1000) +
                                        " s); is another synclumovcontrol running?");
        poll(nullptr, 0, NAME_RETRY_MS);
    }
    return OK;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> words(argv + 1, argv + argc);
    for (const std::string& word : words) {
        if (word == "--help" || word == "-h") {
            printHelp();
            return OK;
        }
    }
    if (words.size() == 1 && words[0] == "--version") {
        std::printf("%s %s\n", COMMAND, SYNC_VERSION);
        return OK;
    }
    if (words.empty() || !isCommand(words)) {
        std::fputs(USAGE_TEXT, stderr);
        return USAGE;
    }

    SyncPeers::CommandServer server;
    if (const int failed = openServer(server))
        return failed;
    const SyncPeers::CommandServer::Registration* daemon =
        server.waitForRegistration(COMMAND, REGISTRATION_TIMEOUT_MS);
    if (daemon == nullptr) {
        if (!server.busNameOwned(Sync::Platform::BusNames::service(DAEMON_SERVICE, DAEMON_DOMAIN)))
            return fail(NO_DAEMON, "sync-lumov-control is not running on " + busText());
        return fail(NO_ANSWER, "sync-lumov-control runs but did not register its command within " +
                                   std::to_string(REGISTRATION_TIMEOUT_MS / 1000) + " s");
    }
    words.insert(words.begin(), COMMAND);
    const bool answered = server.runCommand(daemon->pid, words, ANSWER_TIMEOUT_MS);
    const std::string text = server.answer().text();
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    if (!answered)
        return fail(NO_ANSWER, server.answer().lost
                                   ? "sync-lumov-control went away before it finished its answer"
                                   : "sync-lumov-control did not finish its answer within " +
                                         std::to_string(ANSWER_TIMEOUT_MS / 1000) + " s");
    return OK;
}
