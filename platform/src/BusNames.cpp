#include "BusNames.h"

namespace Sync::Platform {

namespace {

bool isAlnum(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

}  // namespace

std::string BusNames::escape(const std::string& text) {
    if (text.empty()) {
        return "_";
    }
    static const char hex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        bool leadingDigit = i == 0 && c >= '0' && c <= '9';
        if (isAlnum(c) && !leadingDigit) {
            out += static_cast<char>(c);
        } else {
            out += '_';
            out += hex[c >> 4];
            out += hex[c & 0xF];
        }
    }
    return out;
}

std::string BusNames::id(uint32_t mailboxId) {
    return "org.tavi.Id.m" + std::to_string(mailboxId);
}

std::string BusNames::mailbox(const std::string& name) {
    return "org.tavi.Mailbox." + escape(name);
}

std::string BusNames::service(const std::string& service, const std::string& domain) {
    return "org.tavi.Service." + escape(domain) + "." + escape(service);
}

}  // namespace Sync::Platform
