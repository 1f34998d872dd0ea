#ifndef SYNC_SCI_MESSAGES_H
#define SYNC_SCI_MESSAGES_H

#include "common_fwk_classes/sci/MessageDescriptor.h"

// Every sync-control message with its primitive kind and number, grouped by the kind of information it
// belongs to. A kind's messages share one pattern (subscribe, its confirmation or rejection,
// unsubscribe, its confirmation, the indications); the primitive classes are the shape templates
// instantiated with these entries.
namespace Sync {
namespace Sci {
namespace Messages {

struct Management {
    static constexpr MessageDescriptor SERVER_UP{1, 0x1900001, "KOLM_SERVICE_ADDED_IND"};
    static constexpr MessageDescriptor CLIENT_DOWN_IND{8, 0x9B900, "SCI_CLIENT_DOWN_IND"};
    static constexpr MessageDescriptor SERVER_DOWN_IND{8, 0x9B901, "SCI_SERVER_DOWN_IND"};
    static constexpr MessageDescriptor CONNECTION_ESTABLISHMENT_REQ{2, 0x9B902,
                                                                    "SCI_CONNECTION_ESTABLISHMENT_REQ"};
    static constexpr MessageDescriptor CONNECTION_ESTABLISHMENT_CFM{3, 0x9B903,
                                                                    "SCI_CONNECTION_ESTABLISHMENT_CFM"};
    static constexpr MessageDescriptor CONNECTION_ESTABLISHMENT_REJ{4, 0x9B904,
                                                                    "SCI_CONNECTION_ESTABLISHMENT_REJ"};
};

struct RadioClockState {
    static constexpr MessageDescriptor SUBSCRIBE_REQ{10, 0x9B905, "SCI_RADIO_CLOCK_STATE_SUBSCRIBE_REQ"};
    static constexpr MessageDescriptor SUBSCRIBE_CFM{11, 0x9B906, "SCI_RADIO_CLOCK_STATE_SUBSCRIBE_CFM"};
    static constexpr MessageDescriptor SUBSCRIBE_REJ{12, 0x9B907, "SCI_RADIO_CLOCK_STATE_SUBSCRIBE_REJ"};
    static constexpr MessageDescriptor UNSUBSCRIBE_REQ{13, 0x9B908, "SCI_RADIO_CLOCK_STATE_UNSUBSCRIBE_REQ"};
    static constexpr MessageDescriptor UNSUBSCRIBE_CFM{14, 0x9B909, "SCI_RADIO_CLOCK_STATE_UNSUBSCRIBE_CFM"};
    static constexpr MessageDescriptor IND{15, 0x9B90A, "SCI_RADIO_CLOCK_STATE_IND", "radioClockState"};
};

struct CandidatedReference {
    static constexpr MessageDescriptor SUBSCRIBE_REQ{16, 0x9B90B, "SCI_CANDIDATED_REFERENCE_SUBSCRIBE_REQ"};
    static constexpr MessageDescriptor SUBSCRIBE_CFM{17, 0x9B90C, "SCI_CANDIDATED_REFERENCE_SUBSCRIBE_CFM"};
    static constexpr MessageDescriptor SUBSCRIBE_REJ{18, 0x9B90D, "SCI_CANDIDATED_REFERENCE_SUBSCRIBE_REJ"};
    static constexpr MessageDescriptor UNSUBSCRIBE_REQ{19, 0x9B90E,
                                                       "SCI_CANDIDATED_REFERENCE_UNSUBSCRIBE_REQ"};
    static constexpr MessageDescriptor UNSUBSCRIBE_CFM{20, 0x9B90F,
                                                       "SCI_CANDIDATED_REFERENCE_UNSUBSCRIBE_CFM"};
    static constexpr MessageDescriptor IND{21, 0x9B910, "SCI_CANDIDATED_REFERENCE_IND",
                                           "candidatedReference"};
};

struct SelectedReference {
    static constexpr MessageDescriptor SUBSCRIBE_REQ{22, 0x9B911, "SCI_SELECTED_REFERENCE_SUBSCRIBE_REQ"};
    static constexpr MessageDescriptor SUBSCRIBE_CFM{23, 0x9B912, "SCI_SELECTED_REFERENCE_SUBSCRIBE_CFM"};
    static constexpr MessageDescriptor SUBSCRIBE_REJ{24, 0x9B913, "SCI_SELECTED_REFERENCE_SUBSCRIBE_REJ"};
    static constexpr MessageDescriptor UNSUBSCRIBE_REQ{25, 0x9B914, "SCI_SELECTED_REFERENCE_UNSUBSCRIBE_REQ"};
    static constexpr MessageDescriptor UNSUBSCRIBE_CFM{26, 0x9B915, "SCI_SELECTED_REFERENCE_UNSUBSCRIBE_CFM"};
    static constexpr MessageDescriptor IND{27, 0x9B916, "SCI_SELECTED_REFERENCE_IND"};
};

struct FixedPositionStatus {
    static constexpr MessageDescriptor SUBSCRIBE_REQ{30, 0x9B917, "SCI_FIXED_POSITION_STATUS_SUBSCRIBE_REQ"};
    static constexpr MessageDescriptor SUBSCRIBE_CFM{31, 0x9B918, "SCI_FIXED_POSITION_STATUS_SUBSCRIBE_CFM"};
    static constexpr MessageDescriptor SUBSCRIBE_REJ{32, 0x9B919, "SCI_FIXED_POSITION_STATUS_SUBSCRIBE_REJ"};
    static constexpr MessageDescriptor UNSUBSCRIBE_REQ{33, 0x9B91A,
                                                       "SCI_FIXED_POSITION_STATUS_UNSUBSCRIBE_REQ"};
    static constexpr MessageDescriptor UNSUBSCRIBE_CFM{34, 0x9B91B,
                                                       "SCI_FIXED_POSITION_STATUS_UNSUBSCRIBE_CFM"};
    static constexpr MessageDescriptor IND{35, 0x9B91C, "SCI_FIXED_POSITION_STATUS_IND",
                                           "fixedPositionStatus"};
};

struct RecData {
    static constexpr MessageDescriptor SUBSCRIBE_REQ{36, 0x9B91D, "SCI_REC_DATA_SUBSCRIBE_REQ"};
    static constexpr MessageDescriptor SUBSCRIBE_CFM{37, 0x9B91E, "SCI_REC_DATA_SUBSCRIBE_CFM"};
    static constexpr MessageDescriptor SUBSCRIBE_REJ{38, 0x9B91F, "SCI_REC_DATA_SUBSCRIBE_REJ"};
    static constexpr MessageDescriptor UNSUBSCRIBE_REQ{39, 0x9B920, "SCI_REC_DATA_UNSUBSCRIBE_REQ"};
    static constexpr MessageDescriptor UNSUBSCRIBE_CFM{40, 0x9B921, "SCI_REC_DATA_UNSUBSCRIBE_CFM"};
    static constexpr MessageDescriptor REC_CREATE_IND{41, 0x9B922, "SCI_REC_CREATE_IND"};
    static constexpr MessageDescriptor REC_DELETE_IND{42, 0x9B923, "SCI_REC_DELETE_IND"};
    static constexpr MessageDescriptor REC_SELECTION_PROCESS_MODE_IND{
        43, 0x9B924, "SCI_REC_SELECTION_PROCESS_MODE_IND", "selectionProcessMode"};
    static constexpr MessageDescriptor REC_CLOCK_SETTLED_QUALITY_IND{
        44, 0x9B925, "SCI_REC_CLOCK_SETTLED_QUALITY_IND", "clockSettledQuality"};
    static constexpr MessageDescriptor RECR_USE_QL_FROM_IND{45, 0x9B926, "SCI_RECR_USE_QL_FROM_IND"};
};

struct TelecomStandard {
    static constexpr MessageDescriptor SUBSCRIBE_REQ{46, 0x9B927, "SCI_TELECOM_STANDARD_SUBSCRIBE_REQ"};
    static constexpr MessageDescriptor SUBSCRIBE_CFM{47, 0x9B928, "SCI_TELECOM_STANDARD_SUBSCRIBE_CFM"};
    static constexpr MessageDescriptor SUBSCRIBE_REJ{48, 0x9B929, "SCI_TELECOM_STANDARD_SUBSCRIBE_REJ"};
    static constexpr MessageDescriptor UNSUBSCRIBE_REQ{49, 0x9B92A, "SCI_TELECOM_STANDARD_UNSUBSCRIBE_REQ"};
    static constexpr MessageDescriptor UNSUBSCRIBE_CFM{50, 0x9B92B, "SCI_TELECOM_STANDARD_UNSUBSCRIBE_CFM"};
    static constexpr MessageDescriptor IND{51, 0x9B92C, "SCI_TELECOM_STANDARD_IND", "telecomStandard"};
};

struct BfnJumpAlert {
    static constexpr MessageDescriptor SUBSCRIBE_REQ{52, 0x9B92D, "SCI_BFN_JUMP_ALERT_SUBSCRIBE_REQ"};
    static constexpr MessageDescriptor SUBSCRIBE_CFM{53, 0x9B92E, "SCI_BFN_JUMP_ALERT_SUBSCRIBE_CFM"};
    static constexpr MessageDescriptor SUBSCRIBE_REJ{54, 0x9B92F, "SCI_BFN_JUMP_ALERT_SUBSCRIBE_REJ"};
    static constexpr MessageDescriptor UNSUBSCRIBE_REQ{55, 0x9B930, "SCI_BFN_JUMP_ALERT_UNSUBSCRIBE_REQ"};
    static constexpr MessageDescriptor UNSUBSCRIBE_CFM{56, 0x9B931, "SCI_BFN_JUMP_ALERT_UNSUBSCRIBE_CFM"};
    static constexpr MessageDescriptor IND{57, 0x9B932, "SCI_BFN_JUMP_ALERT_IND"};
};

struct LooseTimeState {
    static constexpr MessageDescriptor SUBSCRIBE_REQ{58, 0x9B933, "SCI_LOOSE_TIME_STATE_SUBSCRIBE_REQ"};
    static constexpr MessageDescriptor SUBSCRIBE_CFM{59, 0x9B934, "SCI_LOOSE_TIME_STATE_SUBSCRIBE_CFM"};
    static constexpr MessageDescriptor SUBSCRIBE_REJ{60, 0x9B935, "SCI_LOOSE_TIME_STATE_SUBSCRIBE_REJ"};
    static constexpr MessageDescriptor UNSUBSCRIBE_REQ{61, 0x9B936, "SCI_LOOSE_TIME_STATE_UNSUBSCRIBE_REQ"};
    static constexpr MessageDescriptor UNSUBSCRIBE_CFM{62, 0x9B937, "SCI_LOOSE_TIME_STATE_UNSUBSCRIBE_CFM"};
    static constexpr MessageDescriptor IND{63, 0x9B938, "SCI_LOOSE_TIME_STATE_IND"};
};

struct LooseTimeDiff {
    static constexpr MessageDescriptor SUBSCRIBE_REQ{64, 0x9B939, "SCI_LOOSE_TIME_DIFF_SUBSCRIBE_REQ"};
    static constexpr MessageDescriptor SUBSCRIBE_CFM{65, 0x9B93A, "SCI_LOOSE_TIME_DIFF_SUBSCRIBE_CFM"};
    static constexpr MessageDescriptor SUBSCRIBE_REJ{66, 0x9B93B, "SCI_LOOSE_TIME_DIFF_SUBSCRIBE_REJ"};
    static constexpr MessageDescriptor UNSUBSCRIBE_REQ{67, 0x9B93C, "SCI_LOOSE_TIME_DIFF_UNSUBSCRIBE_REQ"};
    static constexpr MessageDescriptor UNSUBSCRIBE_CFM{68, 0x9B93D, "SCI_LOOSE_TIME_DIFF_UNSUBSCRIBE_CFM"};
    static constexpr MessageDescriptor IND{69, 0x9B93E, "SCI_LOOSE_TIME_DIFF_IND"};
};

struct DegradedStatus {
    static constexpr MessageDescriptor SUBSCRIBE_REQ{70, 0x9B93F, "SCI_DEGRADED_STATUS_SUBSCRIBE_REQ"};
    static constexpr MessageDescriptor SUBSCRIBE_CFM{71, 0x9B940, "SCI_DEGRADED_STATUS_SUBSCRIBE_CFM"};
    static constexpr MessageDescriptor SUBSCRIBE_REJ{72, 0x9B941, "SCI_DEGRADED_STATUS_SUBSCRIBE_REJ"};
    static constexpr MessageDescriptor UNSUBSCRIBE_REQ{73, 0x9B942, "SCI_DEGRADED_STATUS_UNSUBSCRIBE_REQ"};
    static constexpr MessageDescriptor UNSUBSCRIBE_CFM{74, 0x9B943, "SCI_DEGRADED_STATUS_UNSUBSCRIBE_CFM"};
    static constexpr MessageDescriptor IND{75, 0x9B944, "SCI_DEGRADED_STATUS_IND"};
};

struct SemiLooseMode {
    static constexpr MessageDescriptor SUBSCRIBE_REQ{78, 0x9B949, "SCI_SEMI_LOOSE_MODE_SUBSCRIBE_REQ"};
    static constexpr MessageDescriptor SUBSCRIBE_CFM{79,      0x9B94A, "SCI_SEMI_LOOSE_MODE_SUBSCRIBE_CFM",
                                                     nullptr, nullptr, true};
    static constexpr MessageDescriptor SUBSCRIBE_REJ{80,      0x9B94B, "SCI_SEMI_LOOSE_MODE_SUBSCRIBE_REJ",
                                                     nullptr, nullptr, true};
    static constexpr MessageDescriptor IND{81, 0x9B94C, "SCI_SEMI_LOOSE_MODE_IND"};
};

struct TimeError {
    static constexpr MessageDescriptor SUBSCRIBE_REQ{82, 0x9B94D, "SCI_TIME_ERROR_SUBSCRIBE_REQ"};
    static constexpr MessageDescriptor SUBSCRIBE_CFM{83, 0x9B94E, "SCI_TIME_ERROR_SUBSCRIBE_CFM"};
    static constexpr MessageDescriptor SUBSCRIBE_REJ{84, 0x9B94F, "SCI_TIME_ERROR_SUBSCRIBE_REJ"};
    static constexpr MessageDescriptor UNSUBSCRIBE_REQ{85, 0x9B950, "SCI_TIME_ERROR_UNSUBSCRIBE_REQ"};
    static constexpr MessageDescriptor UNSUBSCRIBE_CFM{86, 0x9B951, "SCI_TIME_ERROR_UNSUBSCRIBE_CFM"};
    static constexpr MessageDescriptor IND{87, 0x9B952, "SCI_TIME_ERROR_IND", "timeError"};
};

struct PtpClockType {
    static constexpr MessageDescriptor SUBSCRIBE_REQ{88, 0x9B953, "SCI_PTP_CLOCK_TYPE_SUBSCRIBE_REQ"};
    static constexpr MessageDescriptor SUBSCRIBE_REJ{89, 0x9B954, "SCI_PTP_CLOCK_TYPE_SUBSCRIBE_REJ"};
};

struct FruData {
    static constexpr MessageDescriptor SUBSCRIBE_REQ{90, 0x9B955, "SCI_FRU_DATA_SUBSCRIBE_REQ"};
    static constexpr MessageDescriptor SUBSCRIBE_CFM{91, 0x9B956, "SCI_FRU_DATA_SUBSCRIBE_CFM"};
    static constexpr MessageDescriptor SUBSCRIBE_REJ{92, 0x9B957, "SCI_FRU_DATA_SUBSCRIBE_REJ"};
    static constexpr MessageDescriptor IND{93, 0x9B958, "SCI_FRU_DATA_IND"};
};

struct CandidateAssistRef {
    static constexpr MessageDescriptor SUBSCRIBE_REQ{94, 0x9B959, "SCI_CANDIDATE_ASSIST_REF_SUBSCRIBE_REQ"};
    static constexpr MessageDescriptor SUBSCRIBE_CFM{95, 0x9B95A, "SCI_CANDIDATE_ASSIST_REF_SUBSCRIBE_CFM"};
    static constexpr MessageDescriptor SUBSCRIBE_REJ{96, 0x9B95B, "SCI_CANDIDATE_ASSIST_REF_SUBSCRIBE_REJ"};
    static constexpr MessageDescriptor IND{97, 0x9B95C, "SCI_CANDIDATE_ASSIST_REF_IND", "ldn",
                                           "SCI_ASSIST_INFO_IND"};
};

struct FhNodePrio {
    static constexpr MessageDescriptor SUBSCRIBE_REQ{98, 0x9B95D, "SCI_FH_NODE_PRIO_SUBSCRIBE_REQ"};
    static constexpr MessageDescriptor SUBSCRIBE_CFM{99, 0x9B95E, "SCI_FH_NODE_PRIO_SUBSCRIBE_CFM"};
    static constexpr MessageDescriptor SUBSCRIBE_REJ{100, 0x9B95F, "SCI_FH_NODE_PRIO_SUBSCRIBE_REJ"};
    static constexpr MessageDescriptor IND{101, 0x9B960, "SCI_FH_NODE_PRIO_IND", "nodePrio"};
};

struct RecrConfig {
    static constexpr MessageDescriptor SUBSCRIBE_REQ{102, 0x9B961, "SCI_RECR_CONFIG_SUBSCRIBE_REQ"};
    static constexpr MessageDescriptor SUBSCRIBE_CFM{103, 0x9B962, "SCI_RECR_CONFIG_SUBSCRIBE_CFM"};
    static constexpr MessageDescriptor SUBSCRIBE_REJ{104, 0x9B963, "SCI_RECR_CONFIG_SUBSCRIBE_REJ"};
    static constexpr MessageDescriptor IND{105, 0x9B964, "SCI_RECR_CONFIG_IND", nullptr,
                                           "SCI_RECR_QL_CONFIG_IND"};
};

struct OverridePtpData {
    static constexpr MessageDescriptor SUBSCRIBE_REQ{106, 0x9B965, "SCI_OVERRIDE_PTP_DATA_SUBSCRIBE_REQ"};
    static constexpr MessageDescriptor SUBSCRIBE_CFM{107, 0x9B966, "SCI_OVERRIDE_PTP_DATA_SUBSCRIBE_CFM"};
    static constexpr MessageDescriptor SUBSCRIBE_REJ{108, 0x9B967, "SCI_OVERRIDE_PTP_DATA_SUBSCRIBE_REJ"};
    static constexpr MessageDescriptor IND{109, 0x9B968, "SCI_OVERRIDE_PTP_DATA_IND", "clockClass"};
};

// Requests and responses outside the subscription pattern.
struct Service {
    static constexpr MessageDescriptor PORT_SCAN_REQ{28, 0x9B945, "SCI_PORT_SCAN_REQ"};
    static constexpr MessageDescriptor PORT_SCAN_RSP{29, 0x9B946, "SCI_PORT_SCAN_RSP"};
    static constexpr MessageDescriptor NGS_BFN_ALIGN_REQ{76, 0x9B947, "SCI_NGS_BFN_ALIGN_REQ",
                                                         "selectedSoccLdn"};
    static constexpr MessageDescriptor NGS_BFN_ALIGN_RSP{77, 0x9B948, "SCI_NGS_BFN_ALIGN_RSP", "result"};
    static constexpr MessageDescriptor PASSIVE_MONITORING_CONFIGURED_FWD{
        110, 0x9B969, "SCI_PASSIVE_MONITORING_CONFIGURED_FWD", "passiveMonitoring"};
};

}  // namespace Messages
}  // namespace Sci
}  // namespace Sync

#endif
