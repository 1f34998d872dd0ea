#ifndef SYNC_SCI_SUBSCRIPTIONPRIMITIVES_H
#define SYNC_SCI_SUBSCRIPTIONPRIMITIVES_H

#include "common_fwk_classes/sci/ErrorCodePrimitive.h"
#include "common_fwk_classes/sci/Messages.h"
#include "common_fwk_classes/sci/PlainPrimitive.h"
#include "common_fwk_classes/sci/PtpClockTypeSubscribeReq.h"

// The subscription messages of every kind of information: subscribe and unsubscribe requests and their
// confirmations carry nothing beyond the header, a rejection carries the server's error code. Not every
// kind has all of them; the PTP clock type subscription carries the clock type and has its own class.
namespace Sync {
namespace Sci {

using RadioClockStateSubscribeReq = PlainPrimitive<Messages::RadioClockState::SUBSCRIBE_REQ>;
using RadioClockStateSubscribeCfm = PlainPrimitive<Messages::RadioClockState::SUBSCRIBE_CFM>;
using RadioClockStateSubscribeRej = ErrorCodePrimitive<Messages::RadioClockState::SUBSCRIBE_REJ>;
using RadioClockStateUnsubscribeReq = PlainPrimitive<Messages::RadioClockState::UNSUBSCRIBE_REQ>;
using RadioClockStateUnsubscribeCfm = PlainPrimitive<Messages::RadioClockState::UNSUBSCRIBE_CFM>;

using CandidatedReferenceSubscribeReq = PlainPrimitive<Messages::CandidatedReference::SUBSCRIBE_REQ>;
using CandidatedReferenceSubscribeCfm = PlainPrimitive<Messages::CandidatedReference::SUBSCRIBE_CFM>;
using CandidatedReferenceSubscribeRej = ErrorCodePrimitive<Messages::CandidatedReference::SUBSCRIBE_REJ>;
using CandidatedReferenceUnsubscribeReq = PlainPrimitive<Messages::CandidatedReference::UNSUBSCRIBE_REQ>;
using CandidatedReferenceUnsubscribeCfm = PlainPrimitive<Messages::CandidatedReference::UNSUBSCRIBE_CFM>;

using SelectedReferenceSubscribeReq = PlainPrimitive<Messages::SelectedReference::SUBSCRIBE_REQ>;
using SelectedReferenceSubscribeCfm = PlainPrimitive<Messages::SelectedReference::SUBSCRIBE_CFM>;
using SelectedReferenceSubscribeRej = ErrorCodePrimitive<Messages::SelectedReference::SUBSCRIBE_REJ>;
using SelectedReferenceUnsubscribeReq = PlainPrimitive<Messages::SelectedReference::UNSUBSCRIBE_REQ>;
using SelectedReferenceUnsubscribeCfm = PlainPrimitive<Messages::SelectedReference::UNSUBSCRIBE_CFM>;

using FixedPositionStatusSubscribeReq = PlainPrimitive<Messages::FixedPositionStatus::SUBSCRIBE_REQ>;
using FixedPositionStatusSubscribeCfm = PlainPrimitive<Messages::FixedPositionStatus::SUBSCRIBE_CFM>;
using FixedPositionStatusSubscribeRej = ErrorCodePrimitive<Messages::FixedPositionStatus::SUBSCRIBE_REJ>;
using FixedPositionStatusUnsubscribeReq = PlainPrimitive<Messages::FixedPositionStatus::UNSUBSCRIBE_REQ>;
using FixedPositionStatusUnsubscribeCfm = PlainPrimitive<Messages::FixedPositionStatus::UNSUBSCRIBE_CFM>;

using RecDataSubscribeReq = PlainPrimitive<Messages::RecData::SUBSCRIBE_REQ>;
using RecDataSubscribeCfm = PlainPrimitive<Messages::RecData::SUBSCRIBE_CFM>;
using RecDataSubscribeRej = ErrorCodePrimitive<Messages::RecData::SUBSCRIBE_REJ>;
using RecDataUnsubscribeReq = PlainPrimitive<Messages::RecData::UNSUBSCRIBE_REQ>;
using RecDataUnsubscribeCfm = PlainPrimitive<Messages::RecData::UNSUBSCRIBE_CFM>;

using TelecomStandardSubscribeReq = PlainPrimitive<Messages::TelecomStandard::SUBSCRIBE_REQ>;
using TelecomStandardSubscribeCfm = PlainPrimitive<Messages::TelecomStandard::SUBSCRIBE_CFM>;
using TelecomStandardSubscribeRej = ErrorCodePrimitive<Messages::TelecomStandard::SUBSCRIBE_REJ>;
using TelecomStandardUnsubscribeReq = PlainPrimitive<Messages::TelecomStandard::UNSUBSCRIBE_REQ>;
using TelecomStandardUnsubscribeCfm = PlainPrimitive<Messages::TelecomStandard::UNSUBSCRIBE_CFM>;

using BfnJumpAlertSubscribeReq = PlainPrimitive<Messages::BfnJumpAlert::SUBSCRIBE_REQ>;
using BfnJumpAlertSubscribeCfm = PlainPrimitive<Messages::BfnJumpAlert::SUBSCRIBE_CFM>;
using BfnJumpAlertSubscribeRej = ErrorCodePrimitive<Messages::BfnJumpAlert::SUBSCRIBE_REJ>;
using BfnJumpAlertUnsubscribeReq = PlainPrimitive<Messages::BfnJumpAlert::UNSUBSCRIBE_REQ>;
using BfnJumpAlertUnsubscribeCfm = PlainPrimitive<Messages::BfnJumpAlert::UNSUBSCRIBE_CFM>;

using LooseTimeStateSubscribeReq = PlainPrimitive<Messages::LooseTimeState::SUBSCRIBE_REQ>;
using LooseTimeStateSubscribeCfm = PlainPrimitive<Messages::LooseTimeState::SUBSCRIBE_CFM>;
using LooseTimeStateSubscribeRej = ErrorCodePrimitive<Messages::LooseTimeState::SUBSCRIBE_REJ>;
using LooseTimeStateUnsubscribeReq = PlainPrimitive<Messages::LooseTimeState::UNSUBSCRIBE_REQ>;
using LooseTimeStateUnsubscribeCfm = PlainPrimitive<Messages::LooseTimeState::UNSUBSCRIBE_CFM>;

using LooseTimeDiffSubscribeReq = PlainPrimitive<Messages::LooseTimeDiff::SUBSCRIBE_REQ>;
using LooseTimeDiffSubscribeCfm = PlainPrimitive<Messages::LooseTimeDiff::SUBSCRIBE_CFM>;
using LooseTimeDiffSubscribeRej = ErrorCodePrimitive<Messages::LooseTimeDiff::SUBSCRIBE_REJ>;
using LooseTimeDiffUnsubscribeReq = PlainPrimitive<Messages::LooseTimeDiff::UNSUBSCRIBE_REQ>;
using LooseTimeDiffUnsubscribeCfm = PlainPrimitive<Messages::LooseTimeDiff::UNSUBSCRIBE_CFM>;

using DegradedStatusSubscribeReq = PlainPrimitive<Messages::DegradedStatus::SUBSCRIBE_REQ>;
using DegradedStatusSubscribeCfm = PlainPrimitive<Messages::DegradedStatus::SUBSCRIBE_CFM>;
using DegradedStatusSubscribeRej = ErrorCodePrimitive<Messages::DegradedStatus::SUBSCRIBE_REJ>;
using DegradedStatusUnsubscribeReq = PlainPrimitive<Messages::DegradedStatus::UNSUBSCRIBE_REQ>;
using DegradedStatusUnsubscribeCfm = PlainPrimitive<Messages::DegradedStatus::UNSUBSCRIBE_CFM>;

using SemiLooseModeSubscribeReq = PlainPrimitive<Messages::SemiLooseMode::SUBSCRIBE_REQ>;
using SemiLooseModeSubscribeCfm = PlainPrimitive<Messages::SemiLooseMode::SUBSCRIBE_CFM>;
using SemiLooseModeSubscribeRej = ErrorCodePrimitive<Messages::SemiLooseMode::SUBSCRIBE_REJ>;

using TimeErrorSubscribeReq = PlainPrimitive<Messages::TimeError::SUBSCRIBE_REQ>;
using TimeErrorSubscribeCfm = PlainPrimitive<Messages::TimeError::SUBSCRIBE_CFM>;
using TimeErrorSubscribeRej = ErrorCodePrimitive<Messages::TimeError::SUBSCRIBE_REJ>;
using TimeErrorUnsubscribeReq = PlainPrimitive<Messages::TimeError::UNSUBSCRIBE_REQ>;
using TimeErrorUnsubscribeCfm = PlainPrimitive<Messages::TimeError::UNSUBSCRIBE_CFM>;

using PtpClockTypeSubscribeRej = ErrorCodePrimitive<Messages::PtpClockType::SUBSCRIBE_REJ>;

using FruDataSubscribeReq = PlainPrimitive<Messages::FruData::SUBSCRIBE_REQ>;
using FruDataSubscribeCfm = PlainPrimitive<Messages::FruData::SUBSCRIBE_CFM>;
using FruDataSubscribeRej = ErrorCodePrimitive<Messages::FruData::SUBSCRIBE_REJ>;

using CandidateAssistRefSubscribeReq = PlainPrimitive<Messages::CandidateAssistRef::SUBSCRIBE_REQ>;
using CandidateAssistRefSubscribeCfm = PlainPrimitive<Messages::CandidateAssistRef::SUBSCRIBE_CFM>;
using CandidateAssistRefSubscribeRej = ErrorCodePrimitive<Messages::CandidateAssistRef::SUBSCRIBE_REJ>;

using FhNodePrioSubscribeReq = PlainPrimitive<Messages::FhNodePrio::SUBSCRIBE_REQ>;
using FhNodePrioSubscribeCfm = PlainPrimitive<Messages::FhNodePrio::SUBSCRIBE_CFM>;
using FhNodePrioSubscribeRej = ErrorCodePrimitive<Messages::FhNodePrio::SUBSCRIBE_REJ>;

using RecrConfigSubscribeReq = PlainPrimitive<Messages::RecrConfig::SUBSCRIBE_REQ>;
using RecrConfigSubscribeCfm = PlainPrimitive<Messages::RecrConfig::SUBSCRIBE_CFM>;
using RecrConfigSubscribeRej = ErrorCodePrimitive<Messages::RecrConfig::SUBSCRIBE_REJ>;

using OverridePtpDataSubscribeReq = PlainPrimitive<Messages::OverridePtpData::SUBSCRIBE_REQ>;
using OverridePtpDataSubscribeCfm = PlainPrimitive<Messages::OverridePtpData::SUBSCRIBE_CFM>;
using OverridePtpDataSubscribeRej = ErrorCodePrimitive<Messages::OverridePtpData::SUBSCRIBE_REJ>;

}  // namespace Sci
}  // namespace Sync

#endif
