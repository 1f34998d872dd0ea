#include "model/port/EthernetData.h"

namespace Sync {
namespace EthCentral {

EthernetData::EthernetData()
    : vlanId(NOT_REPORTED),
      rhaiId(NOT_REPORTED),
      masterSlaveMode(0),
      portType(NOT_REPORTED),
      sfpType(NOT_REPORTED),
      linkSpeed(0),
      duplexMode(0),
      isLag(NOT_REPORTED),
      networkNamespace(NAMESPACE_NOT_INITIALIZED),
      lagPortLdn(NO_LAG_PORT),
      administrativeState(0),
      operationalState(0) {}

bool EthernetData::operator==(const EthernetData& other) const {
    return vlanId == other.vlanId && rhaiId == other.rhaiId && masterSlaveMode == other.masterSlaveMode &&
           portType == other.portType && sfpType == other.sfpType && linkSpeed == other.linkSpeed &&
           duplexMode == other.duplexMode && isLag == other.isLag && macAddress == other.macAddress &&
           interfaceName == other.interfaceName && tnportName == other.tnportName &&
           networkNamespace == other.networkNamespace && ldn == other.ldn && lagPortLdn == other.lagPortLdn &&
           administrativeState == other.administrativeState && operationalState == other.operationalState &&
           availabilityStatus == other.availabilityStatus;
}

}  // namespace EthCentral
}  // namespace Sync
