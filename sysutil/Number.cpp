#include "Number.h"

namespace SyncSys {

namespace {

// The digit's value in base 16, or 16 for a character that is no hexadecimal digit.
unsigned digitValue(char c) {
    if (c >= '0' && c <= '9')
        return static_cast<unsigned>(c - '0');
    if (c >= 'a' && c <= 'f')
        return static_cast<unsigned>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F')
        return static_cast<unsigned>(c - 'A' + 10);
    return 16;
}

}  // namespace

std::optional<uint64_t> Number::read(const std::string& text, uint64_t low, uint64_t high) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const unsigned base = hex ? 16 : 10;
    const size_t first = hex ? 2 : 0;
    if (text.size() == first)
        return std::nullopt;
    uint64_t value = 0;
    for (size_t i = first; i < text.size(); ++i) {
        const unsigned digit = digitValue(text[i]);
        if (digit >= base || value > (UINT64_MAX - digit) / base)
            return std::nullopt;
        value = value * base + digit;
    }
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

std::string Number::complaint(const std::string& text, const std::string& what, uint64_t low, uint64_t high) {
    return what + " must be a number from " + std::to_string(low) + " to " + std::to_string(high) +
           " (decimal or 0x-hex), not \"" + text + "\"";
}

}  // namespace SyncSys
