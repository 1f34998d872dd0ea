#ifndef SYNC_IEPCSI_GETETHPORTSUPPORTCFM_H
#define SYNC_IEPCSI_GETETHPORTSUPPORTCFM_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "control/BasePrimitive.h"

namespace Sync {
namespace Iepcsi {

// The server's list of Ethernet ports: a count at 12, then that many 48-byte port records from 16.
// Each received message replaces the list of the previous one.
class GetEthPortSupportCfm final : public BasePrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = 11;
    static constexpr uint32_t MSGNO = 0x1B1049;
    static constexpr uint32_t FIXED_SIZE = 16;
    static constexpr size_t NUMBER_OF_PORTS_OFFSET = 12;
    static constexpr size_t RECORDS_OFFSET = 16;
    static constexpr size_t RECORD_SIZE = 48;
    // Offsets within one record.
    static constexpr size_t ROLE_OFFSET = 0;
    static constexpr size_t RHAI_ID_OFFSET = 4;
    static constexpr size_t MAC_ADDRESS_OFFSET = 8;
    static constexpr size_t MAC_ADDRESS_LENGTH = 6;
    static constexpr size_t PORT_NAME_OFFSET = 14;
    static constexpr size_t PORT_NAME_WIDTH = 16;
    static constexpr size_t INTERFACE_NAME_OFFSET = 30;
    static constexpr size_t INTERFACE_NAME_WIDTH = 18;

    // Bits of portRole. A fronthaul port has ROLE_C2 set and ROLE_IDL clear.
    static constexpr uint32_t ROLE_IDL = 0x1;
    static constexpr uint32_t ROLE_C2 = 0x4;
    static constexpr uint32_t ROLE_RDI = 0x8;

    struct PortRecord {
        uint32_t portRole;
        uint32_t rhaiId;
        std::string macAddress;  // "xx:xx:xx:xx:xx:xx", lower-case hex
        std::string portName;
        std::string interfaceName;
    };

    GetEthPortSupportCfm();

    void fetchPrimitive(void* msg) override;
    // 16 + 48 bytes per announced port.
    uint64_t requiredSize(const void* msg) const override;

    virtual const std::vector<PortRecord>& getPortRecords() const { return portRecords_; }

  private:
    std::vector<PortRecord> portRecords_;
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
