#include "FronthaulScript.h"

#include <cstdio>

namespace E2e {

FronthaulScript::Port FronthaulScript::port(size_t n, const std::string& name,
                                            const std::string& interfaceName,
                                            const std::string& networkNamespace) {
    Port port;
    port.rhaiId = static_cast<uint32_t>(10 + n);
    port.macAddress = {0x02, 0x00, 0x5e, 0x10, 0x00, static_cast<uint8_t>(n)};
    port.portName = name;
    port.interfaceName = interfaceName;
    port.networkNamespace = networkNamespace;
    return port;
}

std::vector<FronthaulScript::Port> FronthaulScript::ports() {
    std::vector<Port> table;
    for (size_t n = 1; n <= kPorts; ++n) {
        const std::string number = std::to_string(n);
        table.push_back(port(n, "TnPort-" + number, "fh" + number, "ns-fh" + number));
    }
    table.push_back(port(kPorts + 1, kOtherPort, "eth-x", "ns-x"));
    table.back().role = 0x2;
    return table;
}

std::string FronthaulScript::macText(size_t n) {
    char text[18];
    std::snprintf(text, sizeof text, "02:00:5e:10:00:%02x", static_cast<unsigned>(n & 0xFF));
    return text;
}

}  // namespace E2e
