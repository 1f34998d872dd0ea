// What the port-control side has reported about one Ethernet port. A plain value: copies, assignments
// and comparisons cover every field.
#ifndef SYNC_ETHCENTRAL_ETHERNETDATA_H
#define SYNC_ETHCENTRAL_ETHERNETDATA_H

#include <cstdint>
#include <set>
#include <string>

namespace Sync {
namespace EthCentral {

class EthernetData {
  public:
    static constexpr uint32_t NOT_REPORTED = 0xFFFFFFFF;
    static constexpr const char* NAMESPACE_NOT_INITIALIZED = "NOT_INITIALIZED";
    static constexpr const char* NO_LAG_PORT = "NONE";

    // Every field at the value it has before the port-control side has said anything.
    EthernetData();

    bool operator==(const EthernetData& other) const;
    bool operator!=(const EthernetData& other) const { return !(*this == other); }

    uint32_t vlanId;
    uint32_t rhaiId;
    uint32_t masterSlaveMode;  // MasterSlaveMode
    uint32_t portType;         // PortType
    uint32_t sfpType;          // SfpType
    uint32_t linkSpeed;        // LinkSpeed
    uint32_t duplexMode;       // DuplexMode
    uint32_t isLag;            // non-zero: configured as a member of a link aggregation group
    std::string macAddress;
    std::string interfaceName;
    std::string tnportName;
    std::string networkNamespace;
    std::string ldn;
    std::string lagPortLdn;
    uint32_t administrativeState;  // AdministrativeState
    uint32_t operationalState;     // OperationalState; 1 is enabled
    std::set<uint32_t> availabilityStatus;
};

}  // namespace EthCentral
}  // namespace Sync

#endif
