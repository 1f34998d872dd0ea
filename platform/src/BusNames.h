#ifndef SYNC_PLATFORM_BUSNAMES_H
#define SYNC_PLATFORM_BUSNAMES_H

#include <cstdint>
#include <string>

namespace Sync::Platform {

// The bus names every participant uses for mailboxes and name-service entries. Every program that
// talks to these mailboxes, in whatever language, derives the same names from the same rules.
class BusNames {
  public:
    // D-Bus refuses longer names.
    static constexpr std::size_t kMaxLength = 255;

    // Makes text a valid bus-name element: every byte outside [A-Za-z0-9], and a leading digit,
    // becomes '_' and two lower-case hex digits; an empty text becomes "_".
    static std::string escape(const std::string& text);
    // org.tavi.Id.m<id in decimal>
    static std::string id(uint32_t mailboxId);
    // org.tavi.Mailbox.<escaped name>
    static std::string mailbox(const std::string& name);
    // org.tavi.Service.<escaped domain>.<escaped service>
    static std::string service(const std::string& service, const std::string& domain);
    static bool fits(const std::string& busName) { return busName.size() <= kMaxLength; }
};

}  // namespace Sync::Platform

#endif
