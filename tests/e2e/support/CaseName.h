#ifndef SYNC_E2E_CASENAME_H
#define SYNC_E2E_CASENAME_H

#include <cctype>
#include <string>

namespace E2e {

// A GoogleTest parameter name made of a row's description: every character outside [A-Za-z0-9]
// becomes '_', so that ctest lists "…/two_byte_payload" rather than the row's bytes.
inline std::string caseName(const std::string& text) {
    std::string name;
    for (char c : text) {
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name.empty() ? "_" : name;
}

}  // namespace E2e

#endif
