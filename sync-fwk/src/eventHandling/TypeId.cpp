#include "eventHandling/TypeId.h"

#include <cxxabi.h>

#include <cstdlib>

namespace Sync {

std::string shortTypeName(const std::type_info& type) {
    int status = 0;
    char* demangled = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    std::string name = (status == 0 && demangled != nullptr) ? demangled : type.name();
    std::free(demangled);
    // Template arguments may contain "::" too; only the last scope outside any <...> counts.
    int depth = 0;
    size_t start = 0;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '<') {
            ++depth;
        } else if (name[i] == '>') {
            --depth;
        } else if (depth == 0 && name[i] == ':' && i + 1 < name.size() && name[i + 1] == ':') {
            start = i + 2;
        }
    }
    return name.substr(start);
}

}  // namespace Sync
