#include "control/secli/prim/OutputConfigRequestPrim.h"

#include "Macros.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

OutputConfigRequestPrim::OutputConfigRequestPrim(uint32_t primitiveId, const char* name)
    : BasePrimitive(primitiveId, serviceMsgno(primitiveId), name, SIZE) {}

void* OutputConfigRequestPrim::constructMessage() {
    const std::string interfaceName = cutToField(interfaceName_, INTERFACE_NAME_WIDTH);
    const std::string macAddress = cutToField(macAddress_, MAC_ADDRESS_TEXT_WIDTH);
    const std::string networkNameSpace = cutToField(networkNameSpace_, NETWORK_NAMESPACE_WIDTH);
    void* msg = allocMessage();
    if (msg != nullptr) {
        putText(msg, INTERFACE_NAME_OFFSET, INTERFACE_NAME_WIDTH, interfaceName);
        putText(msg, MAC_ADDRESS_OFFSET, MAC_ADDRESS_TEXT_WIDTH, macAddress);
        putText(msg, NETWORK_NAMESPACE_OFFSET, NETWORK_NAMESPACE_WIDTH, networkNameSpace);
    }
    TRACE_SEND_MSG(
        "%s with data: (procedureReference = %u, connectionReference = %u, interfaceName = %s, macAddress = "
        "%s, "
        "networkNameSpace = %s)",
        getName(), getProcedureReference(), getConnectionReference(), interfaceName.c_str(),
        macAddress.c_str(), networkNameSpace.c_str());
    return msg;
}

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync
