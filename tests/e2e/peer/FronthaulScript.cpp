#include "FronthaulScript.h"

#include <cstdio>

namespace E2e {

std::vector<SyncTools::PortControlServer::Port> FronthaulScript::ports() {
    std::vector<SyncTools::PortControlServer::Port> table;
    for (size_t n = 1; n <= kPorts; ++n) {
        SyncTools::PortControlServer::Port port;
        port.role = SyncTools::PortControlServer::ROLE_C2;
        port.rhaiId = static_cast<uint32_t>(10 + n);
        port.macAddress = {0x02, 0x00, 0x5e, 0x10, 0x00, static_cast<uint8_t>(n)};
        port.portName = "TnPort-" + std::to_string(n);
        port.interfaceName = "fh" + std::to_string(n);
        port.networkNamespace = "ns-fh" + std::to_string(n);
        table.push_back(port);
    }
    return table;
}

std::string FronthaulScript::macText(size_t n) {
    char text[18];
    std::snprintf(text, sizeof text, "02:00:5e:10:00:%02x", static_cast<unsigned>(n & 0xFF));
    return text;
}

}  // namespace E2e
