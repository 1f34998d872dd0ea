#ifndef SYNC_SYS_NUMBER_H
#define SYNC_SYS_NUMBER_H

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>

namespace SyncSys {

// A number as an operator writes it in an option, a table or a scenario: decimal digits, or 0x and
// hexadecimal digits. No sign, no blanks and no octal: "010" is ten and "08" eight, as people read
// them, not as strtoul does.
class Number {
  public:
    // The value of the whole text when it is such a number from low to high; nothing otherwise.
    static std::optional<uint64_t> read(const std::string& text, uint64_t low, uint64_t high);

    // The same into value, from low to high (by default anything value can hold); otherwise false,
    // with error naming what was read and the range it must be in.
    template <typename T>
    static bool read(const std::string& text, T& value, const std::string& what, std::string& error,
                     uint64_t low = 0, uint64_t high = std::numeric_limits<T>::max()) {
        static_assert(std::is_unsigned<T>::value, "a number of a text has no sign");
        const std::optional<uint64_t> number = read(text, low, high);
        if (!number) {
            error = complaint(text, what, low, high);
            return false;
        }
        value = static_cast<T>(*number);
        return true;
    }

  private:
    static std::string complaint(const std::string& text, const std::string& what, uint64_t low,
                                 uint64_t high);
};

}  // namespace SyncSys

#endif
