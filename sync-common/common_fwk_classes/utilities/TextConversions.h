// Small text helpers shared by traces and printouts, and the guard that keeps raw integers away from
// the toChar overloads.
#ifndef SYNC_TEXT_CONVERSIONS_H
#define SYNC_TEXT_CONVERSIONS_H

#include <cstddef>
#include <cstdint>
#include <memory>

namespace Sync {

// Every text conversion is a toChar overload on a strong enumeration (see QualityLevel.h,
// FeatureValues.h, PortProperties.h). Values received as u32 are wrapped at the call site, e.g.
// toChar(ClockQuality(q)). A plain integer would otherwise convert silently to bool and print
// "true"; this deleted catch-all turns that mistake into a compile error.
template <typename T>
const char* toChar(T value) = delete;

// "true" or "false", written into one static 8-byte buffer that the next call overwrites.
const char* toChar(bool value);

// Byte-wise equality of two strings given with their lengths; a null pointer is only equal to
// another string of length 0.
bool isEqual(const char* a, std::size_t aLength, const char* b, std::size_t bLength);

// Longest text joinTokens returns (it keeps the last this many characters of its input).
constexpr std::size_t JOIN_TOKENS_MAX_LENGTH = 255;

// Splits the last JOIN_TOKENS_MAX_LENGTH characters of text at ';', ',' and ' ' and joins the
// non-empty pieces with ':'. Null for a null text or when allocation fails.
std::unique_ptr<char[]> joinTokens(const char* text);

}  // namespace Sync

#endif
