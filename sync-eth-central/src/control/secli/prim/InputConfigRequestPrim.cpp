#include "control/secli/prim/InputConfigRequestPrim.h"

#include "Macros.h"
#include "common_fwk_classes/utilities/TextConversions.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

InputConfigRequestPrim::InputConfigRequestPrim(uint32_t primitiveId, const char* name)
    : BasePrimitive(primitiveId, serviceMsgno(primitiveId), name, SIZE) {}

std::string InputConfigRequestPrim::normalisedLdn(const std::string& ldn) {
    std::string text(ldn.c_str());
    if (text.size() >= LDN_WIDTH)
        text.erase(0, text.size() - (LDN_WIDTH - 1));
    if (text.size() > LDN_WIDTH - 2)
        text.resize(LDN_WIDTH - 2);
    const std::unique_ptr<char[]> joined = joinTokens(text.c_str());
    return joined ? std::string(joined.get()) : std::string();
}

void* InputConfigRequestPrim::constructMessage() {
    const std::string ldn = normalisedLdn(ldn_);
    const std::string interfaceName = cutToField(interfaceName_, INTERFACE_NAME_WIDTH);
    const std::string macAddress = cutToField(macAddress_, MAC_ADDRESS_TEXT_WIDTH);
    const std::string networkNameSpace = cutToField(networkNameSpace_, NETWORK_NAMESPACE_WIDTH);
    void* msg = allocMessage();
    if (msg != nullptr) {
        putU32(msg, RHAI_PORT_ID_OFFSET, rhaiPortId_);
        putText(msg, LDN_OFFSET, LDN_WIDTH, ldn);
        putText(msg, INTERFACE_NAME_OFFSET, INTERFACE_NAME_WIDTH, interfaceName);
        putText(msg, MAC_ADDRESS_OFFSET, MAC_ADDRESS_TEXT_WIDTH, macAddress);
        putText(msg, NETWORK_NAMESPACE_OFFSET, NETWORK_NAMESPACE_WIDTH, networkNameSpace);
    }
    TRACE_SEND_MSG(
        "%s with data: (procedureReference = %u, connectionReference = %u, rhaiPortId = %u, ldn = %s, "
        "interfaceName = %s, macAddress = %s, networkNameSpace = %s)",
        getName(), getProcedureReference(), getConnectionReference(), rhaiPortId_, ldn.c_str(),
        interfaceName.c_str(), macAddress.c_str(), networkNameSpace.c_str());
    return msg;
}

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync
