#ifndef SYNC_SCI_MESSAGEDESCRIPTOR_H
#define SYNC_SCI_MESSAGEDESCRIPTOR_H

#include <cstdint>

namespace Sync {
namespace Sci {

// What tells one sync-control message apart from the others of its shape: its primitive kind, its
// message number, its name and, for a message with one payload field, that field's name. Shape
// templates take a descriptor by reference, so each message is one line of the table in Messages.h.
struct MessageDescriptor {
    uint32_t primitiveId;
    uint32_t msgno;
    const char* name;
    // The single payload field of a one-field message; null otherwise.
    const char* field = nullptr;
    // The name the message is traced under, where it differs from the message's own name.
    const char* traceName = nullptr;
    // A few messages have always been traced with connectionReference and entityId run together;
    // their texts stay as they are because log searches rely on them.
    bool entityIdJoined = false;

    const char* tracedName() const { return traceName != nullptr ? traceName : name; }
};

}  // namespace Sci
}  // namespace Sync

#endif
