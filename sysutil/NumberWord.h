#ifndef SYNC_SYS_NUMBERWORD_H
#define SYNC_SYS_NUMBERWORD_H

#include <cstdint>
#include <string>

namespace SyncSys {

// A whole word of a configuration or scenario file read as a number: decimal, or hexadecimal with 0x,
// no sign, at most high. Sets value only when the word is such a number.
bool numberWord(const std::string& word, uint32_t& value, uint32_t high = UINT32_MAX);

}  // namespace SyncSys

#endif
