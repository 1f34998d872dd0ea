#ifndef SYNC_SCI_PRIMITIVES_H
#define SYNC_SCI_PRIMITIVES_H

// Every primitive class of the sync-control interface, both directions.
#include "common_fwk_classes/sci/DegradedStatusInd.h"
#include "common_fwk_classes/sci/FruDataInd.h"
#include "common_fwk_classes/sci/InitCfm.h"
#include "common_fwk_classes/sci/InitRej.h"
#include "common_fwk_classes/sci/InitReq.h"
#include "common_fwk_classes/sci/LooseTimeDiffInd.h"
#include "common_fwk_classes/sci/LooseTimeStateInd.h"
#include "common_fwk_classes/sci/Messages.h"
#include "common_fwk_classes/sci/MonitorPrimitive.h"
#include "common_fwk_classes/sci/PortScanReq.h"
#include "common_fwk_classes/sci/PortScanRsp.h"
#include "common_fwk_classes/sci/PtpClockTypeSubscribeReq.h"
#include "common_fwk_classes/sci/RecrConfigInd.h"
#include "common_fwk_classes/sci/RecrUseQLFromInd.h"
#include "common_fwk_classes/sci/SelectedReferenceInd.h"
#include "common_fwk_classes/sci/SemiLooseModeInd.h"
#include "common_fwk_classes/sci/ServerUp.h"
#include "common_fwk_classes/sci/SimpleServicePrimitives.h"
#include "common_fwk_classes/sci/SubscriptionPrimitives.h"

namespace Sync {
namespace Sci {

using ClientDown = MonitorPrimitive<Messages::Management::CLIENT_DOWN_IND>;
using ServerDown = MonitorPrimitive<Messages::Management::SERVER_DOWN_IND>;

}  // namespace Sci
}  // namespace Sync

#endif
