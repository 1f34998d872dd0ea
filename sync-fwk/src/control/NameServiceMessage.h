#ifndef SYNC_CONTROL_NAMESERVICEMESSAGE_H
#define SYNC_CONTROL_NAMESERVICEMESSAGE_H

#include <cstdint>

namespace Sync {

// Reading the name service's messages: KOLM_SUBSCRIBE_RSP (subscription id at 4, the subscriber's 64-bit
// tag at 8; 16 bytes) and KOLM_SERVICE_ADDED_IND / KOLM_SERVICE_REMOVED_IND (subscription id at 4;
// 8 bytes). Their words are in host order.
class NameServiceMessage {
  public:
    static bool isNameServiceMsgno(uint32_t msgno);
    // The message's name, or null for a number that is not the name service's.
    static const char* getName(uint32_t msgno);
    // Bytes the message must hold before its fields are read.
    static uint32_t getRequiredSize(uint32_t msgno);
    // Fields; the caller has checked the size.
    static uint32_t getSubscriptionId(const void* msg);
    static uint64_t getTag(const void* msg);

    static constexpr uint32_t SUBSCRIPTION_ID_OFFSET = 4;
    static constexpr uint32_t TAG_OFFSET = 8;
};

}  // namespace Sync

#endif
