#ifndef SYNC_CONTROL_CASTTO_H
#define SYNC_CONTROL_CASTTO_H

#include <typeinfo>

namespace Sync {

// Traces the failed downcast with the pointer and both types' mangled names, then aborts.
[[noreturn]] void castToFailed(const void* pointer, const char* fromType, const char* toType);

// Checked downcast. Only a program fault (a primitive registered under the wrong class) can make it
// fail, and the process stops there rather than run on with a wrong object. A null pointer stays null.
template <typename To, typename From>
To* castTo(From* from) {
    if (from == nullptr)
        return nullptr;
    To* to = dynamic_cast<To*>(from);
    if (to == nullptr)
        castToFailed(from, typeid(From*).name(), typeid(To*).name());
    return to;
}

}  // namespace Sync

#endif
