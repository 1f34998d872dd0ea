#include "control/secli/prim/OutputMacAddressFwdPrim.h"

#include <cstring>

#include "Macros.h"
#include "common_fwk_classes/utilities/AddressFormat.h"
#include "control/secli/prim/SecliWire.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

OutputMacAddressFwdPrim::OutputMacAddressFwdPrim()
    : BasePrimitive(PRIM_OUTPUT_MAC_ADDRESS_FWD, serviceMsgno(PRIM_OUTPUT_MAC_ADDRESS_FWD),
                    "SECLI_OUTPUT_MAC_ADDRESS_FWD", SIZE) {}

void OutputMacAddressFwdPrim::setMacAddress(const uint8_t* value) {
    if (value != nullptr)
        std::memcpy(macAddress_, value, MAC_ADDRESS_BYTES);
}

void OutputMacAddressFwdPrim::fetchPrimitive(void* msg) {
    readHeader(msg);
    getBytes(msg, MAC_ADDRESS_OFFSET, macAddress_, MAC_ADDRESS_BYTES);
    char text[MAC_ADDRESS_TEXT_SIZE];
    TRACE_REC_MSG_FREQ(
        "SECLI_OUTPUT_MAC_ADDRESS_FWD with data: (procedureReference = %u, connectionReference = %u, "
        "macAddress = "
        "%s)",
        getProcedureReference(), getConnectionReference(), formatMacAddress(macAddress_, text, sizeof text));
}

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync
