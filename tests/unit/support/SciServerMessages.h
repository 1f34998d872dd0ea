// Every message a sync-control server sends a connected client, written down once for the unit test of
// the client and the end-to-end test that sends each of them malformed: its number, its name in the
// client's traces and the bytes its layout needs.
#ifndef SYNC_TEST_SCISERVERMESSAGES_H
#define SYNC_TEST_SCISERVERMESSAGES_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Sync {
namespace Test {

struct MessageKind {
    uint32_t msgno;
    std::string name;
    size_t size;
};

// The indications and answers, then for each kind of information its subscription answers: the
// confirmation (16 bytes), the rejection after it (20) and, where the kind has one, the confirmation
// of the unsubscription (16).
inline std::vector<MessageKind> sciServerMessages() {
    std::vector<MessageKind> messages = {
        {0x9B90A, "SCI_RADIO_CLOCK_STATE_IND", 20},
        {0x9B910, "SCI_CANDIDATED_REFERENCE_IND", 20},
        {0x9B916, "SCI_SELECTED_REFERENCE_IND", 276},
        {0x9B91C, "SCI_FIXED_POSITION_STATUS_IND", 20},
        {0x9B922, "SCI_REC_CREATE_IND", 16},
        {0x9B923, "SCI_REC_DELETE_IND", 16},
        {0x9B924, "SCI_REC_SELECTION_PROCESS_MODE_IND", 20},
        {0x9B925, "SCI_REC_CLOCK_SETTLED_QUALITY_IND", 20},
        {0x9B926, "SCI_RECR_USE_QL_FROM_IND", 276},
        {0x9B92C, "SCI_TELECOM_STANDARD_IND", 20},
        {0x9B932, "SCI_BFN_JUMP_ALERT_IND", 16},
        {0x9B938, "SCI_LOOSE_TIME_STATE_IND", 20},
        {0x9B93E, "SCI_LOOSE_TIME_DIFF_IND", 24},
        {0x9B944, "SCI_DEGRADED_STATUS_IND", 24},
        {0x9B946, "SCI_PORT_SCAN_RSP", 17},
        {0x9B948, "SCI_NGS_BFN_ALIGN_RSP", 20},
        {0x9B94C, "SCI_SEMI_LOOSE_MODE_IND", 276},
        {0x9B952, "SCI_TIME_ERROR_IND", 20},
        {0x9B954, "SCI_PTP_CLOCK_TYPE_SUBSCRIBE_REJ", 20},
        {0x9B958, "SCI_FRU_DATA_IND", 536},
        {0x9B95C, "SCI_CANDIDATE_ASSIST_REF_IND", 272},
        {0x9B960, "SCI_FH_NODE_PRIO_IND", 20},
        {0x9B964, "SCI_RECR_CONFIG_IND", 280},
        {0x9B968, "SCI_OVERRIDE_PTP_DATA_IND", 20},
    };
    const struct {
        const char* kind;
        uint32_t subscribeCfm;
        uint32_t unsubscribeCfm;  // 0: the kind has none
    } families[] = {
        {"RADIO_CLOCK_STATE", 0x9B906, 0x9B909},
        {"CANDIDATED_REFERENCE", 0x9B90C, 0x9B90F},
        {"SELECTED_REFERENCE", 0x9B912, 0x9B915},
        {"FIXED_POSITION_STATUS", 0x9B918, 0x9B91B},
        {"REC_DATA", 0x9B91E, 0x9B921},
        {"TELECOM_STANDARD", 0x9B928, 0x9B92B},
        {"BFN_JUMP_ALERT", 0x9B92E, 0x9B931},
        {"LOOSE_TIME_STATE", 0x9B934, 0x9B937},
        {"LOOSE_TIME_DIFF", 0x9B93A, 0x9B93D},
        {"DEGRADED_STATUS", 0x9B940, 0x9B943},
        {"SEMI_LOOSE_MODE", 0x9B94A, 0},
        {"TIME_ERROR", 0x9B94E, 0x9B951},
        {"FRU_DATA", 0x9B956, 0},
        {"CANDIDATE_ASSIST_REF", 0x9B95A, 0},
        {"FH_NODE_PRIO", 0x9B95E, 0},
        {"RECR_CONFIG", 0x9B962, 0},
        {"OVERRIDE_PTP_DATA", 0x9B966, 0},
    };
    for (const auto& family : families) {
        const std::string prefix = std::string("SCI_") + family.kind;
        messages.push_back({family.subscribeCfm, prefix + "_SUBSCRIBE_CFM", 16});
        messages.push_back({family.subscribeCfm + 1, prefix + "_SUBSCRIBE_REJ", 20});
        if (family.unsubscribeCfm != 0)
            messages.push_back({family.unsubscribeCfm, prefix + "_UNSUBSCRIBE_CFM", 16});
    }
    return messages;
}

}  // namespace Test
}  // namespace Sync

#endif
