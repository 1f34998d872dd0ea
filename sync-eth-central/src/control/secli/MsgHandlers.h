// The data-plane server's message handlers: each received primitive that the application hears of,
// with the event its handler raises on the service handler.
#ifndef SYNC_ETHCENTRAL_SECLI_MSGHANDLERS_H
#define SYNC_ETHCENTRAL_SECLI_MSGHANDLERS_H

#include "control/secli/EventMsgHandler.h"
#include "control/secli/ServiceHandler.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

using InitReqMsgHandler = EventMsgHandler<ServiceHandler::SECLI_CLIENT_UP_EVENT>;
using ClientDownMsgHandler = EventMsgHandler<ServiceHandler::SECLI_CLIENT_DOWN_EVENT>;
using InputConfigCreateRcfmMsgHandler = EventMsgHandler<ServiceHandler::SECLI_INPUT_CONFIG_CREATE_RCFM_EVENT>;
using InputConfigCreateRrejMsgHandler = EventMsgHandler<ServiceHandler::SECLI_INPUT_CONFIG_CREATE_RREJ_EVENT>;
using InputConfigChangeRcfmMsgHandler = EventMsgHandler<ServiceHandler::SECLI_INPUT_CONFIG_CHANGE_RCFM_EVENT>;
using InputConfigChangeRrejMsgHandler = EventMsgHandler<ServiceHandler::SECLI_INPUT_CONFIG_CHANGE_RREJ_EVENT>;
using InputConfigRemoveRcfmMsgHandler = EventMsgHandler<ServiceHandler::SECLI_INPUT_CONFIG_REMOVE_RCFM_EVENT>;
using InputDefectFwdMsgHandler = EventMsgHandler<ServiceHandler::SECLI_INPUT_DEFECT_FWD_EVENT>;
using InputReceivedSsmFwdMsgHandler = EventMsgHandler<ServiceHandler::SECLI_INPUT_RECEIVED_SSM_FWD_EVENT>;
using AssistDataFwdMsgHandler = EventMsgHandler<ServiceHandler::SECLI_INPUT_ASSIST_DATA_FWD_EVENT>;
using OutputConfigCreateRcfmMsgHandler =
    EventMsgHandler<ServiceHandler::SECLI_OUTPUT_CONFIG_CREATE_RCFM_EVENT>;
using OutputConfigCreateRrejMsgHandler =
    EventMsgHandler<ServiceHandler::SECLI_OUTPUT_CONFIG_CREATE_RREJ_EVENT>;
using OutputConfigChangeRcfmMsgHandler =
    EventMsgHandler<ServiceHandler::SECLI_OUTPUT_CONFIG_CHANGE_RCFM_EVENT>;
using OutputConfigChangeRrejMsgHandler =
    EventMsgHandler<ServiceHandler::SECLI_OUTPUT_CONFIG_CHANGE_RREJ_EVENT>;
using OutputConfigRemoveRcfmMsgHandler =
    EventMsgHandler<ServiceHandler::SECLI_OUTPUT_CONFIG_REMOVE_RCFM_EVENT>;
using OutputMacAddressFwdMsgHandler = EventMsgHandler<ServiceHandler::SECLI_OUTPUT_MAC_ADDRESS_FWD_EVENT>;

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
