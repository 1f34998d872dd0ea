#ifndef SYNC_SIM_SCENARIO_H
#define SYNC_SIM_SCENARIO_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "DataPlaneClient.h"
#include "PortControlServer.h"
#include "SyncControlServer.h"

namespace SyncSim {

using SyncPeers::DataPlaneClient;
using SyncPeers::PortControlServer;
using SyncPeers::SyncControlServer;

// A parsed scenario for sync-sim: the port table the port-control server starts with, then the steps
// played against the daemon, in file order. The text format is described in sim/README.md.
struct Scenario {
    struct Step {
        enum Kind {
            PORT_STATUS,              // change a port's states (or every port's) and send its status
            SEND_STATUS,              // send a port's status (or every port's) as the table holds it
            PORT_NAMESPACE,           // change a port's namespace; nothing is sent
            REC_CREATE,               //
            REC_DELETE,               //
            CLOCK_QUALITY,            // value
            SELECTION_MODE,           // value
            TELECOM_STANDARD,         // value
            SELECTED_REFERENCE,       // value and text (the reference's ldn)
            MAC_FORWARD,              // text: "xx:xx:xx:xx:xx:xx"
            WAIT_CONNECTED,           // the data-plane client is connected
            WAIT_PORT_SUBSCRIPTIONS,  // count port-status subscriptions are in force
            WAIT_SYNC_SUBSCRIPTIONS,  // count sync-control subscriptions are in force
            WAIT_ORDERS,              // count orders of orderKind have arrived, since the start
            EXIT,                     // end sync-sim once the steps before it are done
        };
        Kind kind = EXIT;
        size_t line = 0;          // 1-based line in the scenario file
        std::string source;       // the line as written, without its comment
        std::string portName;     // empty: every port of the table
        uint32_t adminState = 0;  // PORT_STATUS
        uint32_t operState = 0;
        uint32_t value = 0;
        std::string text;
        size_t count = 0;  // WAIT_* with a count
        DataPlaneClient::Order::Kind orderKind = DataPlaneClient::Order::OUTPUT_CREATE;
        int timeoutMs = 0;  // WAIT_*
    };

    std::vector<PortControlServer::Port> ports;
    std::vector<Step> steps;
    // The last step is EXIT: sync-sim ends after the steps instead of serving on.
    bool endsWithExit() const { return !steps.empty() && steps.back().kind == Step::EXIT; }
};

}  // namespace SyncSim

#endif
