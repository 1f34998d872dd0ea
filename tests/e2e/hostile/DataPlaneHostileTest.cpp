// The data-plane client turned hostile: every message it could send, cut short or reduced to its
// number, messages only the daemon sends, a second connection request, answers for outputs that do not
// exist and unknown numbers. The daemon drops each with its own trace and keeps its one client.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HostileRoad.h"

namespace {

using E2e::HostileCase;
using E2e::HostileRoad;
using SyncTools::DataPlaneClient;
using SyncTools::WireBuffer;

using D = DataPlaneClient;

const std::vector<HostileCase::Kind> kKinds = {
    {0x94000, "SECLI_CLIENT_DOWN_IND", 12},
    {D::CONNECTION_ESTABLISHMENT_REQ, "SECLI_CONNECTION_ESTABLISHMENT_REQ", 24},
    {D::CONNECTION_ESTABLISHMENT_CFM, "SECLI_CONNECTION_ESTABLISHMENT_CFM", 16},
    {D::CONNECTION_ESTABLISHMENT_REJ, "SECLI_CONNECTION_ESTABLISHMENT_REJ", 16},
    {D::INPUT_CONFIG_CREATE_RREQ, "SECLI_INPUT_CONFIG_CREATE_RREQ", 804},
    {D::INPUT_CONFIG_CREATE_RCFM, "SECLI_INPUT_CONFIG_CREATE_RCFM", 12},
    {D::INPUT_CONFIG_CREATE_RREJ, "SECLI_INPUT_CONFIG_CREATE_RREJ", 16},
    {D::INPUT_CONFIG_CHANGE_RREQ, "SECLI_INPUT_CONFIG_CHANGE_RREQ", 804},
    {D::INPUT_CONFIG_CHANGE_RCFM, "SECLI_INPUT_CONFIG_CHANGE_RCFM", 12},
    {D::INPUT_CONFIG_CHANGE_RREJ, "SECLI_INPUT_CONFIG_CHANGE_RREJ", 16},
    {D::INPUT_CONFIG_REMOVE_RREQ, "SECLI_INPUT_CONFIG_REMOVE_RREQ", 12},
    {D::INPUT_CONFIG_REMOVE_RCFM, "SECLI_INPUT_CONFIG_REMOVE_RCFM", 12},
    {0x9400D, "SECLI_INPUT_DEFECT_FWD", 16},
    {0x9400E, "SECLI_INPUT_RECEIVED_SSM_FWD", 56},
    {0x9400F, "SECLI_INPUT_ASSIST_DATA_FWD", 24},
    {D::OUTPUT_CONFIG_CREATE_RREQ, "SECLI_OUTPUT_CONFIG_CREATE_RREQ", 544},
    {D::OUTPUT_CONFIG_CREATE_RCFM, "SECLI_OUTPUT_CONFIG_CREATE_RCFM", 12},
    {D::OUTPUT_CONFIG_CREATE_RREJ, "SECLI_OUTPUT_CONFIG_CREATE_RREJ", 16},
    {D::OUTPUT_CONFIG_CHANGE_RREQ, "SECLI_OUTPUT_CONFIG_CHANGE_RREQ", 544},
    {D::OUTPUT_CONFIG_CHANGE_RCFM, "SECLI_OUTPUT_CONFIG_CHANGE_RCFM", 12},
    {D::OUTPUT_CONFIG_CHANGE_RREJ, "SECLI_OUTPUT_CONFIG_CHANGE_RREJ", 16},
    {D::OUTPUT_CONFIG_REMOVE_RREQ, "SECLI_OUTPUT_CONFIG_REMOVE_RREQ", 12},
    {D::OUTPUT_CONFIG_REMOVE_RCFM, "SECLI_OUTPUT_CONFIG_REMOVE_RCFM", 12},
    {D::OUTPUT_TRANSMIT_SSM_IND, "SECLI_OUTPUT_TRANSMIT_SSM_IND", 48},
    {D::OUTPUT_ESMC_CONTROL_IND, "SECLI_OUTPUT_ESMC_CONTROL_IND", 16},
    {D::OUTPUT_MAC_ADDRESS_FWD, "SECLI_OUTPUT_MAC_ADDRESS_FWD", 20},
};

// Kinds only the daemon sends, at their full size: the daemon refuses them from a client.
const std::vector<size_t> kSentOnly = {2, 3, 4, 7, 10, 15, 18, 21, 23, 24};

std::string sentOnlyText(const HostileCase::Kind& kind, uint32_t client) {
    return std::string("Dropped ") + kind.name + " from " + std::to_string(client) +
           ": only the server sends it";
}

std::vector<HostileCase> table(const DataPlaneClient& client) {
    std::vector<HostileCase> cases = HostileCase::empties(client.id());
    const std::vector<HostileCase> cut = HostileCase::truncations(kKinds);
    cases.insert(cases.end(), cut.begin(), cut.end());
    for (size_t index : kSentOnly) {
        const HostileCase::Kind& kind = kKinds[index];
        cases.push_back({std::string(kind.name) + " from the client, padded", HostileCase::oversized(kind, 8),
                         sentOnlyText(kind, client.id())});
    }
    // Answers about outputs the daemon never asked for.
    for (uint32_t msgno :
         {D::OUTPUT_CONFIG_CREATE_RCFM, D::OUTPUT_CONFIG_CHANGE_RCFM, D::OUTPUT_CONFIG_REMOVE_RCFM}) {
        WireBuffer answer(msgno, 12);
        answer.putBe32(4, 0xDEAD);
        answer.putBe32(8, client.serverConnectionReference());
        cases.push_back({"confirmation for an unknown output " + std::to_string(msgno), answer, ""});
    }
    for (uint32_t msgno : {0x94001u, 0x9401Bu, 0x940FFu})
        cases.push_back({"unknown message number " + std::to_string(msgno), WireBuffer(msgno, 24),
                         HostileCase::unknownText(msgno)});
    return cases;
}

TEST(DataPlaneHostileTest, EveryMalformedOrUntimelyMessageIsTracedAndChangesNothing) {
    HostileRoad road;
    ASSERT_TRUE(road.start()) << road.why();
    DataPlaneClient& client = road.dataPlane();
    const auto send = [&](const WireBuffer& bytes) { EXPECT_TRUE(client.sendRaw(bytes)); };
    road.runTable(table(client), client.id(), send);

    // A second connection request from the connected client: refused, and the first connection
    // stands (the client is told no; the daemon keeps sending it orders below).
    WireBuffer again(D::CONNECTION_ESTABLISHMENT_REQ, 24);
    again.putBe32(4, 1);
    again.putBe32(8, 0x00C11E47);
    for (size_t at : {12, 16, 20})
        again.putBe32(at, 1);
    const size_t warnings = client.warnings().size();
    road.run({"second connection request", again, ""}, send);
    EXPECT_TRUE(road.serveUntil([&] { return client.warnings().size() > warnings; }));
    EXPECT_EQ(client.state(), DataPlaneClient::State::CONNECTED);

    road.checkStillServes();
    road.checkTraces();
}

}  // namespace
