#include <cstdlib>
#include <string>

#include "Macros.h"
#include "control/Controller.h"
#include "control/ProcessName.h"
#include "control/Supervision.h"

int main(int argc, char* argv[]) {
    if (argc < 1 || argv[0] == nullptr) {
        std::abort();
    }
    auto* controller = new Sync::LumovControl::Controller(Sync::LumovControl::processName(argv[0]));
    // Under a service manager: ready once init has published the daemon on the bus.
    Sync::LumovControl::Supervision supervision(nullptr);
    controller->init();
    supervision.start();
    TRACE_INFO(" ############## %s : STARTED  ################## ", argv[0]);
    controller->run();
    TRACE_INFO(" ############## %s : STOPPED  ################## ", argv[0]);
    delete controller;
    return 1;
}
