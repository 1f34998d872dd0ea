#ifndef SYNC_SCI_MSGHANDLERS_H
#define SYNC_SCI_MSGHANDLERS_H

#include "common_fwk_classes/sci/CentralEvent.h"
#include "common_fwk_classes/sci/ClientNotifyEvent.h"
#include "common_fwk_classes/sci/ClientServiceHandler.h"
#include "common_fwk_classes/sci/EventMsgHandler.h"
#include "common_fwk_classes/sci/ServerDownIndMsgHandler.h"

// The message handler of every primitive the sync-control client receives, named after the primitive,
// with the events it raises on the service handler. Confirmations, rejections and indications without
// a listener in any sync-control client raise nothing and are only traced.
namespace Sync {
namespace Sci {

using InitCfmMsgHandler = EventMsgHandler<ClientServiceHandler::CONNECTION_ESTABLISHMENT_CFM_EVENT,
                                          ClientNotifyEvent<Control::CentralEvent::SERVER_CONNECTED>>;
using InitRejMsgHandler = EventMsgHandler<ClientServiceHandler::CONNECTION_ESTABLISHMENT_REJ_EVENT>;
using RadioClockStateSubscribeCfmMsgHandler = EventMsgHandler<>;
using RadioClockStateSubscribeRejMsgHandler = EventMsgHandler<>;
using RadioClockStateUnsubscribeCfmMsgHandler = EventMsgHandler<>;
using RadioClockStateIndMsgHandler = EventMsgHandler<ClientServiceHandler::RADIO_CLOCK_STATE_IND_EVENT>;
using CandidatedReferenceSubscribeCfmMsgHandler = EventMsgHandler<>;
using CandidatedReferenceSubscribeRejMsgHandler = EventMsgHandler<>;
using CandidatedReferenceUnsubscribeCfmMsgHandler = EventMsgHandler<>;
using CandidatedReferenceIndMsgHandler =
    EventMsgHandler<ClientServiceHandler::CANDIDATED_REFERENCE_IND_EVENT>;
using SelectedReferenceSubscribeCfmMsgHandler = EventMsgHandler<>;
using SelectedReferenceSubscribeRejMsgHandler = EventMsgHandler<>;
using SelectedReferenceUnsubscribeCfmMsgHandler = EventMsgHandler<>;
using SelectedReferenceIndMsgHandler = EventMsgHandler<ClientServiceHandler::SELECTED_REFERENCE_IND_EVENT>;
using PortScanRspMsgHandler = EventMsgHandler<ClientServiceHandler::PORT_SCAN_RSP_EVENT>;
using FixedPositionStatusSubscribeCfmMsgHandler =
    EventMsgHandler<ClientServiceHandler::FIXED_POSITION_STATUS_SUBSCRIBED_EVENT>;
using FixedPositionStatusSubscribeRejMsgHandler = EventMsgHandler<>;
using FixedPositionStatusUnsubscribeCfmMsgHandler = EventMsgHandler<>;
using FixedPositionStatusIndMsgHandler =
    EventMsgHandler<ClientServiceHandler::FIXED_POSITION_STATUS_IND_EVENT>;
using RecDataSubscribeCfmMsgHandler = EventMsgHandler<>;
using RecDataSubscribeRejMsgHandler = EventMsgHandler<>;
using RecDataUnsubscribeCfmMsgHandler = EventMsgHandler<>;
using RecCreateIndMsgHandler = EventMsgHandler<ClientServiceHandler::REC_CREATE_IND_EVENT>;
using RecDeleteIndMsgHandler = EventMsgHandler<ClientServiceHandler::REC_DELETE_IND_EVENT>;
using RecSelectionProcessModeIndMsgHandler =
    EventMsgHandler<ClientServiceHandler::REC_SELECTION_PROCESS_MODE_IND_EVENT>;
using RecClockSettledQualityIndMsgHandler =
    EventMsgHandler<ClientServiceHandler::REC_CLOCK_SETTLED_QUALITY_IND_EVENT>;
using RecrUseQLFromIndMsgHandler = EventMsgHandler<ClientServiceHandler::RECR_USE_QL_FROM_IND_EVENT>;
using TelecomStandardSubscribeCfmMsgHandler = EventMsgHandler<>;
using TelecomStandardSubscribeRejMsgHandler = EventMsgHandler<>;
using TelecomStandardUnsubscribeCfmMsgHandler = EventMsgHandler<>;
using TelecomStandardIndMsgHandler = EventMsgHandler<ClientServiceHandler::TELECOM_STANDARD_IND_EVENT>;
using BfnJumpAlertSubscribeCfmMsgHandler = EventMsgHandler<>;
using BfnJumpAlertSubscribeRejMsgHandler = EventMsgHandler<>;
using BfnJumpAlertUnsubscribeCfmMsgHandler = EventMsgHandler<>;
using BfnJumpAlertIndMsgHandler = EventMsgHandler<ClientServiceHandler::BFN_JUMP_ALERT_IND_EVENT>;
using LooseTimeStateSubscribeCfmMsgHandler = EventMsgHandler<>;
using LooseTimeStateSubscribeRejMsgHandler = EventMsgHandler<>;
using LooseTimeStateUnsubscribeCfmMsgHandler = EventMsgHandler<>;
using LooseTimeStateIndMsgHandler = EventMsgHandler<ClientServiceHandler::LOOSE_TIME_STATE_IND_EVENT>;
using LooseTimeDiffSubscribeCfmMsgHandler = EventMsgHandler<>;
using LooseTimeDiffSubscribeRejMsgHandler = EventMsgHandler<>;
using LooseTimeDiffUnsubscribeCfmMsgHandler = EventMsgHandler<>;
using LooseTimeDiffIndMsgHandler = EventMsgHandler<ClientServiceHandler::LOOSE_TIME_DIFF_IND_EVENT>;
using DegradedStatusSubscribeCfmMsgHandler = EventMsgHandler<>;
using DegradedStatusSubscribeRejMsgHandler = EventMsgHandler<>;
using DegradedStatusUnsubscribeCfmMsgHandler = EventMsgHandler<>;
using DegradedStatusIndMsgHandler = EventMsgHandler<ClientServiceHandler::DEGRADED_STATUS_IND_EVENT>;
using NgsBfnAlignRspMsgHandler = EventMsgHandler<ClientServiceHandler::NGS_BFN_ALIGN_RSP_EVENT>;
using SemiLooseModeSubscribeCfmMsgHandler = EventMsgHandler<>;
using SemiLooseModeSubscribeRejMsgHandler = EventMsgHandler<>;
using SemiLooseModeIndMsgHandler = EventMsgHandler<>;
using TimeErrorSubscribeCfmMsgHandler = EventMsgHandler<>;
using TimeErrorSubscribeRejMsgHandler = EventMsgHandler<>;
using TimeErrorUnsubscribeCfmMsgHandler = EventMsgHandler<>;
using TimeErrorIndMsgHandler =
    EventMsgHandler<ClientServiceHandler::TIME_ERROR_IND_EVENT, Control::CentralEvent::CLIENT_DATA_EVENT>;
using PtpClockTypeSubscribeRejMsgHandler = EventMsgHandler<>;
using FruDataSubscribeCfmMsgHandler = EventMsgHandler<ClientServiceHandler::FRU_DATA_SUBSCRIBED_EVENT>;
using FruDataSubscribeRejMsgHandler = EventMsgHandler<>;
using FruDataIndMsgHandler = EventMsgHandler<ClientServiceHandler::FRU_DATA_IND_EVENT>;
using CandidateAssistRefSubscribeCfmMsgHandler = EventMsgHandler<>;
using CandidateAssistRefSubscribeRejMsgHandler = EventMsgHandler<>;
using CandidateAssistRefIndMsgHandler = EventMsgHandler<Control::CentralEvent::CLIENT_DATA_EVENT>;
using FhNodePrioSubscribeCfmMsgHandler = EventMsgHandler<>;
using FhNodePrioSubscribeRejMsgHandler = EventMsgHandler<>;
using FhNodePrioIndMsgHandler = EventMsgHandler<Control::CentralEvent::CLIENT_DATA_EVENT>;
using RecrConfigSubscribeCfmMsgHandler = EventMsgHandler<ClientServiceHandler::RECR_CONFIG_SUBSCRIBED_EVENT>;
using RecrConfigSubscribeRejMsgHandler = EventMsgHandler<>;
using RecrConfigIndMsgHandler = EventMsgHandler<ClientServiceHandler::RECR_CONFIG_IND_EVENT>;
using OverridePtpDataSubscribeCfmMsgHandler = EventMsgHandler<>;
using OverridePtpDataSubscribeRejMsgHandler = EventMsgHandler<>;
using OverridePtpDataIndMsgHandler = EventMsgHandler<Control::CentralEvent::CLIENT_DATA_EVENT>;

}  // namespace Sci
}  // namespace Sync

#endif
