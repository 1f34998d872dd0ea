// Per-class identifiers for events and states: the address of a static that exists once per class,
// so comparing two ids costs one pointer comparison and needs no registration.
#ifndef SYNC_EVENTHANDLING_TYPEID_H
#define SYNC_EVENTHANDLING_TYPEID_H

#include <string>
#include <typeinfo>

namespace Sync {

using TypeId = const void*;

template <class T>
struct TypeTag {
    static constexpr char tag = 0;
};

template <class T>
constexpr TypeId typeIdOf() {
    return &TypeTag<T>::tag;
}

// The unqualified class name of T ("IEPCSI_INITIATED" for Sync::...::IepcsiSm::IEPCSI_INITIATED),
// demangled once per class.
std::string shortTypeName(const std::type_info& type);

template <class T>
const char* typeNameOf() {
    static const std::string name = shortTypeName(typeid(T));
    return name.c_str();
}

}  // namespace Sync

#endif
