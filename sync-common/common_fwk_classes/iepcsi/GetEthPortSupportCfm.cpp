#include "common_fwk_classes/iepcsi/GetEthPortSupportCfm.h"

#include "Macros.h"
#include "common_fwk_classes/utilities/AddressFormat.h"
#include "tavi.h"

namespace Sync {
namespace Iepcsi {

GetEthPortSupportCfm::GetEthPortSupportCfm()
    : BasePrimitive(PRIMITIVE_ID, MSGNO, "IEPCSI_GET_ETH_PORT_SUPPORT_CFM", FIXED_SIZE) {}

uint64_t GetEthPortSupportCfm::requiredSize(const void* msg) const {
    return RECORDS_OFFSET + uint64_t{RECORD_SIZE} * getU32(msg, NUMBER_OF_PORTS_OFFSET);
}

void GetEthPortSupportCfm::fetchPrimitive(void* msg) {
    readHeader(msg);
    const uint32_t numberOfPorts = getU32(msg, NUMBER_OF_PORTS_OFFSET);
    portRecords_.clear();
    TRACE_REC_MSG(
        "IEPCSI_GET_ETH_PORT_SUPPORT_CFM with data: procedureReference: %u, connectionReference: %u, "
        "numberOfPorts: %u",
        getProcedureReference(), getConnectionReference(), numberOfPorts);

    // The receive path has checked the size against the count; the bound only keeps a direct caller
    // from walking past the message.
    const uint32_t size = tavi_size(msg);
    const uint64_t fitting = size > RECORDS_OFFSET ? (size - RECORDS_OFFSET) / RECORD_SIZE : 0;
    const uint64_t count = numberOfPorts < fitting ? numberOfPorts : fitting;
    portRecords_.reserve(count);
    for (uint64_t index = 0; index < count; ++index) {
        const size_t record = RECORDS_OFFSET + index * RECORD_SIZE;
        uint8_t mac[MAC_ADDRESS_LENGTH];
        getBytes(msg, record + MAC_ADDRESS_OFFSET, mac, sizeof mac);
        char macText[MAC_ADDRESS_TEXT_SIZE];
        formatMacAddress(mac, macText, sizeof macText);
        portRecords_.push_back(
            PortRecord{getU32(msg, record + ROLE_OFFSET), getU32(msg, record + RHAI_ID_OFFSET), macText,
                       getText(msg, record + PORT_NAME_OFFSET, PORT_NAME_WIDTH),
                       getText(msg, record + INTERFACE_NAME_OFFSET, INTERFACE_NAME_WIDTH)});
        const PortRecord& added = portRecords_.back();
        TRACE_REC_MSG("with data: portRole: %u, rhaiId: %u, macAddress: %s, portName: %s, interfaceName: %s",
                      added.portRole, added.rhaiId, added.macAddress.c_str(), added.portName.c_str(),
                      added.interfaceName.c_str());
    }
}

}  // namespace Iepcsi
}  // namespace Sync
