// The sync-control server turned hostile: every message it could send, cut short or reduced to its
// number, a port-scan answer counting more names than it holds, texts that fill their fields,
// confirmations nobody asked for and unknown numbers. The daemon drops each with its own trace.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "HostileRoad.h"

namespace {

using E2e::HostileCase;
using E2e::HostileRoad;
using SyncTools::SyncControlServer;
using SyncTools::WireBuffer;

constexpr uint32_t kInitiated = 4;

// The server's messages of one kind of information: subscription answers and indications.
struct Family {
    const char* kind;
    uint32_t subscribeCfm;    // the rejection follows it; 0: none of the three answers
    uint32_t unsubscribeCfm;  // 0: the kind has none
    std::vector<HostileCase::Kind> indications;
};

const std::vector<Family> kFamilies = {
    {"RADIO_CLOCK_STATE", 0x9B906, 0x9B909, {{0x9B90A, "SCI_RADIO_CLOCK_STATE_IND", 20}}},
    {"CANDIDATED_REFERENCE", 0x9B90C, 0x9B90F, {{0x9B910, "SCI_CANDIDATED_REFERENCE_IND", 20}}},
    {"SELECTED_REFERENCE", 0x9B912, 0x9B915, {{0x9B916, "SCI_SELECTED_REFERENCE_IND", 276}}},
    {"FIXED_POSITION_STATUS", 0x9B918, 0x9B91B, {{0x9B91C, "SCI_FIXED_POSITION_STATUS_IND", 20}}},
    {"REC_DATA",
     0x9B91E,
     0x9B921,
     {{0x9B922, "SCI_REC_CREATE_IND", 16},
      {0x9B923, "SCI_REC_DELETE_IND", 16},
      {0x9B924, "SCI_REC_SELECTION_PROCESS_MODE_IND", 20},
      {0x9B925, "SCI_REC_CLOCK_SETTLED_QUALITY_IND", 20},
      {0x9B926, "SCI_RECR_USE_QL_FROM_IND", 276}}},
    {"TELECOM_STANDARD", 0x9B928, 0x9B92B, {{0x9B92C, "SCI_TELECOM_STANDARD_IND", 20}}},
    {"BFN_JUMP_ALERT", 0x9B92E, 0x9B931, {{0x9B932, "SCI_BFN_JUMP_ALERT_IND", 16}}},
    {"LOOSE_TIME_STATE", 0x9B934, 0x9B937, {{0x9B938, "SCI_LOOSE_TIME_STATE_IND", 20}}},
    {"LOOSE_TIME_DIFF", 0x9B93A, 0x9B93D, {{0x9B93E, "SCI_LOOSE_TIME_DIFF_IND", 24}}},
    {"DEGRADED_STATUS", 0x9B940, 0x9B943, {{0x9B944, "SCI_DEGRADED_STATUS_IND", 24}}},
    {"SEMI_LOOSE_MODE", 0x9B94A, 0, {{0x9B94C, "SCI_SEMI_LOOSE_MODE_IND", 276}}},
    {"TIME_ERROR", 0x9B94E, 0x9B951, {{0x9B952, "SCI_TIME_ERROR_IND", 20}}},
    {"FRU_DATA", 0x9B956, 0, {{0x9B958, "SCI_FRU_DATA_IND", 536}}},
    {"CANDIDATE_ASSIST_REF", 0x9B95A, 0, {{0x9B95C, "SCI_CANDIDATE_ASSIST_REF_IND", 272}}},
    {"FH_NODE_PRIO", 0x9B95E, 0, {{0x9B960, "SCI_FH_NODE_PRIO_IND", 20}}},
    {"RECR_CONFIG", 0x9B962, 0, {{0x9B964, "SCI_RECR_CONFIG_IND", 280}}},
    {"OVERRIDE_PTP_DATA", 0x9B966, 0, {{0x9B968, "SCI_OVERRIDE_PTP_DATA_IND", 20}}},
};

// Names outlive the table: the kinds point into this list, whose elements never move.
std::deque<std::string>& names() {
    static std::deque<std::string> all;
    return all;
}

const char* keep(const std::string& name) {
    names().push_back(name);
    return names().back().c_str();
}

const HostileCase::Kind kPortScanRsp{0x9B946, "SCI_PORT_SCAN_RSP", 17};

std::vector<HostileCase::Kind> kinds() {
    std::vector<HostileCase::Kind> all = {
        {SyncControlServer::SCI_CONNECTION_ESTABLISHMENT_CFM, "SCI_CONNECTION_ESTABLISHMENT_CFM", 16},
        {SyncControlServer::SCI_CONNECTION_ESTABLISHMENT_REJ, "SCI_CONNECTION_ESTABLISHMENT_REJ", 16},
        {0x9B901, "SCI_SERVER_DOWN_IND", 12},
        {0x9B954, "SCI_PTP_CLOCK_TYPE_SUBSCRIBE_REJ", 20},
        kPortScanRsp,
        {0x9B948, "SCI_NGS_BFN_ALIGN_RSP", 20},
    };
    for (const Family& family : kFamilies) {
        const std::string prefix = std::string("SCI_") + family.kind;
        all.push_back({family.subscribeCfm, keep(prefix + "_SUBSCRIBE_CFM"), 16});
        all.push_back({family.subscribeCfm + 1, keep(prefix + "_SUBSCRIBE_REJ"), 20});
        if (family.unsubscribeCfm != 0)
            all.push_back({family.unsubscribeCfm, keep(prefix + "_UNSUBSCRIBE_CFM"), 16});
        all.insert(all.end(), family.indications.begin(), family.indications.end());
    }
    return all;
}

std::vector<HostileCase> table(const SyncControlServer& sync) {
    std::vector<HostileCase> cases = HostileCase::empties(sync.id());
    const std::vector<HostileCase> cut = HostileCase::truncations(kinds());
    cases.insert(cases.end(), cut.begin(), cut.end());

    // A port-scan answer counting two names and holding none, then one holding one of two.
    WireBuffer twoOfNone(kPortScanRsp.msgno, 20);
    twoOfNone.put8(16, 2);
    cases.push_back({"port scan answer counting 2 names, holding none", twoOfNone,
                     HostileCase::shortText(kPortScanRsp, 20, 17 + 256 * 2)});
    WireBuffer twoOfOne(kPortScanRsp.msgno, 17 + 256);
    twoOfOne.put8(16, 2);
    cases.push_back({"port scan answer counting 2 names, holding 1", twoOfOne,
                     HostileCase::shortText(kPortScanRsp, 17 + 256, 17 + 256 * 2)});

    // Out of turn: the connection is up.
    cases.push_back(
        {"connection confirmation nobody asked for, padded",
         HostileCase::oversized({SyncControlServer::SCI_CONNECTION_ESTABLISHMENT_CFM, "", 16}, 64),
         HostileCase::wrongStateText(3, kInitiated)});
    cases.push_back({"connection rejection after the confirmation",
                     WireBuffer(SyncControlServer::SCI_CONNECTION_ESTABLISHMENT_REJ, 16),
                     HostileCase::wrongStateText(4, kInitiated)});

    // Answers and indications for subscriptions the daemon never made.
    WireBuffer unknownCfm(0x9B91E, 16);
    unknownCfm.putBe32(12, 0xDEAD);
    cases.push_back({"REC data subscription confirmation for an unknown entity", unknownCfm, ""});
    WireBuffer unknownQuality(0x9B925, 20);
    unknownQuality.putBe32(12, 0xDEAD);
    unknownQuality.putBe32(16, 20);
    cases.push_back({"clock quality for an unknown entity", unknownQuality, ""});
    WireBuffer fullLdn(0x9B95C, 272);
    fullLdn.putText(16, 256, std::string(256, 'L'));
    cases.push_back({"assist reference whose LDN fills its field", fullLdn, ""});

    // Requests only the client sends, coming back from the server.
    const HostileCase::Kind requests[] = {
        {SyncControlServer::SCI_CONNECTION_ESTABLISHMENT_REQ, "SCI_CONNECTION_ESTABLISHMENT_REQ", 28},
        {0x9B91D, "SCI_REC_DATA_SUBSCRIBE_REQ", 16},
        {0x9B920, "SCI_REC_DATA_UNSUBSCRIBE_REQ", 16},
        {0x9B945, "SCI_PORT_SCAN_REQ", 17},
        {0x9B947, "SCI_NGS_BFN_ALIGN_REQ", 272},
    };
    for (const HostileCase::Kind& kind : requests)
        cases.push_back({std::string(kind.name) + " from the server", WireBuffer(kind.msgno, kind.size),
                         std::string("Dropped ") + kind.name + " from " + std::to_string(sync.id()) +
                             ": only the client sends it"});

    for (uint32_t msgno : {0x9B96Au, 0x9B9FFu, 0x12345678u})
        cases.push_back({"unknown message number " + std::to_string(msgno), WireBuffer(msgno, 24),
                         HostileCase::unknownText(msgno)});
    return cases;
}

TEST(SyncControlHostileTest, EveryMalformedOrUntimelyMessageIsTracedAndChangesNothing) {
    HostileRoad road;
    ASSERT_TRUE(road.start()) << road.why();
    SyncControlServer& sync = road.sync();
    road.runTable(table(sync), sync.id(),
                  [&](const WireBuffer& bytes) { sync.sendRaw(road.daemonId(), bytes); });
    road.checkStillServes();
    road.checkTraces();
}

}  // namespace
