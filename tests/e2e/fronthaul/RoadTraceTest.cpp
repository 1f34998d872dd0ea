// The fronthaul road in the daemon's own LTTng trace: the data-plane connection, the four port
// records, then for every output its creation request, the confirmation, the SSM and the ESMC
// state, each line exactly as the daemon writes it and in the order it happened.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "FronthaulRoad.h"
#include "FronthaulScript.h"
#include "LttngSession.h"
#include "TraceRecord.h"

namespace {

using E2e::FronthaulRoad;
using E2e::FronthaulScript;
using E2e::LttngSession;
using E2e::TraceRecord;
using Order = SyncTools::DataPlaneClient::Order;

constexpr size_t kPorts = FronthaulScript::kPorts;

template <typename... Args>
std::string format(const char* pattern, Args... args) {
    char text[512];
    std::snprintf(text, sizeof text, pattern, args...);
    return text;
}

class RoadTraceTest : public FronthaulRoad {
  protected:
    // The index of the first event after `after` of that kind whose text is exactly `text`;
    // fails the test and gives events.size() when there is none.
    static size_t find(const std::vector<TraceRecord>& events, size_t after, const std::string& event,
                       const std::string& text) {
        for (size_t i = after + 1; i < events.size(); ++i) {
            if (events[i].event() == event && events[i].field("info_msg") == text) {
                return i;
            }
        }
        ADD_FAILURE() << "no " << event << " \"" << text << "\" after event " << after;
        return events.size();
    }

    LttngSession lttng_;
};

TEST_F(RoadTraceTest, TheDaemonTracesTheRoadInOrder) {
    ASSERT_TRUE(lttng_.ready()) << lttng_.error();
    ASSERT_TRUE(lttng_.startRecording()) << lttng_.error();
    bringUp(Peer::NONE, lttng_.environment());
    ASSERT_FALSE(HasFatalFailure());
    const size_t from = dataPlane_->orders().size();
    sync_->sendSelectionProcessMode(1);
    ASSERT_TRUE(serveUntil([&] { return ordersOf(Order::ESMC_CONTROL, from).size() == kPorts; }))
        << daemonOutput();
    ASSERT_TRUE(lttng_.stop()) << lttng_.error();

    std::vector<TraceRecord> events;
    for (TraceRecord& record : lttng_.read()) {
        if (record.vpid() == daemon_->pid()) {
            events.push_back(std::move(record));
        }
    }
    ASSERT_FALSE(events.empty()) << lttng_.error();

    const unsigned client = kClientConnectionReference;
    const unsigned server = dataPlane_->serverConnectionReference();
    size_t at = find(events, 0, "REC_MSG",
                     format("SECLI_CONNECTION_ESTABLISHMENT_REQ with data: (procedureReference = %u, "
                            "connectionReference = %u)",
                            kClientProcedureReference, client));
    at = find(events, at, "SEND_MSG",
              format("SECLI_CONNECTION_ESTABLISHMENT_CFM with data: (procedureReference = %u, "
                     "connectionReference = %u, selectedProtocolRevision = 1)",
                     kClientProcedureReference, server));
    const auto table = FronthaulScript::ports();
    for (size_t n = 1; n <= kPorts; ++n) {
        at =
            find(events, at, "REC_MSG",
                 format("with data: portRole: 4, rhaiId: %u, macAddress: %s, portName: %s, interfaceName: %s",
                        table[n - 1].rhaiId, FronthaulScript::macText(n).c_str(),
                        table[n - 1].portName.c_str(), table[n - 1].interfaceName.c_str()));
    }
    const size_t portsKnown = at;

    size_t lastDisabled = 0;
    for (size_t n = 1; n <= kPorts; ++n) {
        SCOPED_TRACE("port " + std::to_string(n));
        const unsigned id = outputIds_[n];
        size_t step = find(events, portsKnown, "SEND_MSG",
                           format("SECLI_OUTPUT_CONFIG_CREATE_RREQ with data: (procedureReference = %u, "
                                  "connectionReference = %u, interfaceName = fh%zu, macAddress = %s, "
                                  "networkNameSpace = ns-fh%zu)",
                                  id, client, n, FronthaulScript::macText(n).c_str(), n));
        step = find(events, step, "REC_MSG",
                    format("SECLI_OUTPUT_CONFIG_CREATE_RCFM with data: (procedureReference = %u, "
                           "connectionReference = %u)",
                           id, server));
        step = find(
            events, step, "SEND_MSG",
            format("SECLI_OUTPUT_TRANSMIT_SSM_IND with data: (procedureReference = %u, "
                   "connectionReference = %u, ssmCode = 0x02, enhancedSsmCode = 0x21, syncEMasterId = "
                   "0x0000000000000000, flag = 0x02, numberCascadedEnhancedEec = 1, numberCascadedEec = 0",
                   id, client));
        step = find(events, step, "SEND_MSG",
                    format("SECLI_OUTPUT_ESMC_CONTROL_IND with data: (procedureReference = %u, "
                           "connectionReference = %u, output = 0)",
                           id, client));
        lastDisabled = std::max(lastDisabled, step);
    }
    // QL_ENABLED comes after the whole road: every output's ESMC goes on after all were off.
    for (size_t n = 1; n <= kPorts; ++n) {
        find(events, lastDisabled, "SEND_MSG",
             format("SECLI_OUTPUT_ESMC_CONTROL_IND with data: (procedureReference = %u, "
                    "connectionReference = %u, output = 1)",
                    outputIds_[n], client));
    }
}

}  // namespace
