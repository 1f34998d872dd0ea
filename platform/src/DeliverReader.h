#ifndef SYNC_PLATFORM_DELIVERREADER_H
#define SYNC_PLATFORM_DELIVERREADER_H

#include <systemd/sd-bus.h>

namespace Sync::Platform {

// Takes a Deliver call apart: checks its signature and size and copies the bytes into a message for
// the application, with the mailbox id the caller gave as sender. Depends on nothing but the call
// itself, so it can be exercised on calls built without a connected bus.
class DeliverReader {
  public:
    // The message, or null after one warning when the call is malformed. The call is read, not kept.
    static void* read(sd_bus_message* m);
};

}  // namespace Sync::Platform

#endif
