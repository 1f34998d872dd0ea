// The value sets of the SyncE model and the conversions over them, in one include.
#ifndef SYNC_COMMON_METHODS_H
#define SYNC_COMMON_METHODS_H

#include "common_fwk_classes/utilities/AddressFormat.h"
#include "common_fwk_classes/utilities/FeatureValues.h"
#include "common_fwk_classes/utilities/PortProperties.h"
#include "common_fwk_classes/utilities/QualityLevel.h"
#include "common_fwk_classes/utilities/TextConversions.h"

#endif
