#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Macros.h"
#include "control/Controller.h"
#include "control/ProcessName.h"
#include "control/Supervision.h"

namespace {

// The daemon takes no options; these two only answer and never touch the bus.
void printHelp(const char* name) {
    std::printf(
        "usage: %s [--help | --version]\n"
        "\n"
        "Controls the SyncE outputs of the node's fronthaul Ethernet ports. It learns the ports from the\n"
        "port-control service, the clock's quality from the sync-control service, orders the SyncE data\n"
        "plane, and answers synclumovcontrol(1). It takes no options; the bus is $TAVI_BUS_ADDRESS, or\n"
        "the system bus when it is not set. Changes that matter to an operator go to the journal (or to\n"
        "stderr off systemd); everything else to its LTTng tracepoints.\n",
        name);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 1 || argv[0] == nullptr) {
        std::abort();
    }
    const std::string name = Sync::LumovControl::processName(argv[0]);
    if (argc > 1) {
        const bool help = std::strcmp(argv[1], "--help") == 0;
        const bool version = std::strcmp(argv[1], "--version") == 0;
        if (argc == 2 && help) {
            printHelp(name.c_str());
            return 0;
        }
        if (argc == 2 && version) {
            std::printf("%s %s\n", name.c_str(), SYNC_VERSION);
            return 0;
        }
        std::fprintf(stderr, "%s: unexpected argument \"%s\"\nusage: %s [--help | --version]\n", name.c_str(),
                     argv[help || version ? 2 : 1], name.c_str());
        return 2;
    }
    auto* controller = new Sync::LumovControl::Controller(name);
    // Under a service manager: ready once init has published the daemon on the bus.
    Sync::LumovControl::Supervision supervision([controller] { return controller->statusLine(); });
    controller->init();
    supervision.start();
    TRACE_INFO(" ############## %s : STARTED  ################## ", argv[0]);
    controller->run();
    TRACE_INFO(" ############## %s : STOPPED  ################## ", argv[0]);
    delete controller;
    return 1;
}
