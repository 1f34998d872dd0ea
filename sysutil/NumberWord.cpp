#include "NumberWord.h"

#include <cctype>
#include <cstdlib>

namespace SyncSys {

bool numberWord(const std::string& word, uint32_t& value, uint32_t high) {
    if (word.empty() || !std::isdigit(static_cast<unsigned char>(word[0])))
        return false;
    char* end = nullptr;
    const unsigned long long parsed = std::strtoull(word.c_str(), &end, 0);
    if (*end != '\0' || parsed > high)
        return false;
    value = static_cast<uint32_t>(parsed);
    return true;
}

}  // namespace SyncSys
