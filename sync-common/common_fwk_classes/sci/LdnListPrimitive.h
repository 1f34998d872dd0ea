#ifndef SYNC_SCI_LDNLISTPRIMITIVE_H
#define SYNC_SCI_LDNLISTPRIMITIVE_H

#include <string>
#include <vector>

#include "common_fwk_classes/sci/ServicePrimitive.h"

namespace Sync {
namespace Sci {

// A service message carrying a list of LDNs: the number of entries as one byte at 16, then that many
// 256-byte LDNs from 17. Packing pads the message to a whole word (20 + 256 × count); a received one
// needs only the bytes its count announces (17 + 256 × count).
class LdnListPrimitive : public ServicePrimitive {
  public:
    static constexpr size_t COUNT_OFFSET = 16;
    static constexpr size_t LIST_OFFSET = 17;
    static constexpr uint32_t FIXED_SIZE = 17;
    static constexpr size_t MAX_ENTRIES = 255;

    uint64_t requiredSize(const void* msg) const override;
    // The size packing gives a message of count entries.
    static uint32_t packedSize(size_t count);

    const std::vector<std::string>& getLdns() const { return ldns_; }
    void setLdns(const std::vector<std::string>& value) { ldns_ = value; }

  protected:
    // entryLabel names the list in the DEBUG line written for each packed entry.
    LdnListPrimitive(const MessageDescriptor& descriptor, const char* entryLabel);

    // A new message holding the header and the list; entries past MAX_ENTRIES are left out with a
    // WARNING, as the count has one byte.
    void* packList() const;
    // Replaces the list with the entries of a received message.
    void unpackList(const void* msg);
    // The number of entries a packed message carries.
    uint8_t packedCount() const;

  private:
    const char* entryLabel_;
    std::vector<std::string> ldns_;
};

}  // namespace Sci
}  // namespace Sync

#endif
