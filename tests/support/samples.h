// Distinctive values of each argument and result class, and what the
// stand-in renderer must have received for them, bit for bit.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "host/argument_classes.h"
#include "tests/stand_in/stand_in_renderer.h"

namespace zarn::testing {

template <class T>
std::uint64_t bits_of(T v) {
  if constexpr (std::is_pointer_v<T>) {
    return reinterpret_cast<std::uintptr_t>(v);
  } else if constexpr (std::is_same_v<T, host::EightByteValue>) {
    return (std::uint64_t{v.high} << 32) | v.low;
  } else if constexpr (std::is_integral_v<T> && std::is_signed_v<T>) {
    return static_cast<std::make_unsigned_t<T>>(v);
  } else {
    std::uint64_t b = 0;
    std::memcpy(&b, &v, sizeof v);
    return b;
  }
}

template <class T>
constexpr char kind_of() {
  if constexpr (std::is_pointer_v<T>) return 'P';
  else if constexpr (std::is_same_v<T, std::int32_t>) return 'I';
  else if constexpr (std::is_same_v<T, std::uint16_t>) return 'H';
  else if constexpr (std::is_same_v<T, std::uint8_t>) return 'B';
  else if constexpr (std::is_same_v<T, host::EightByteValue>) return 'Q';
  else if constexpr (std::is_same_v<T, float>) return 'F';
  else if constexpr (std::is_same_v<T, double>) return 'D';
  else return '?';
}

// The bits of argument `i` (from 1) of class T.  Pointers use their high
// bits, integers their sign bit, narrow integers their top bit; floats and
// doubles are signalling NaNs, which any conversion or trip through the x87
// stack would turn quiet.
template <class T>
std::uint64_t sample_bits(int i) {
  const auto n = static_cast<std::uint64_t>(i);
  if constexpr (std::is_pointer_v<T>)
    return sizeof(void*) == 8 ? 0xa5c3'0000'0000'0000ull | (0x10 * n) : 0xa5c30000u + 0x10 * n;
  else if constexpr (std::is_same_v<T, std::int32_t>)
    return 0x80000007u + 0x1000 * n;
  else if constexpr (std::is_same_v<T, std::uint16_t>)
    return 0xff00u + n;
  else if constexpr (std::is_same_v<T, std::uint8_t>)
    return 0xe0u + n;
  else if constexpr (std::is_same_v<T, host::EightByteValue>)
    return 0xfedcba00'01234500ull + n + (n << 32);
  else if constexpr (std::is_same_v<T, float>)
    return 0x7f800100u + n;
  else
    return 0x7ff0'0000'0000'0100ull + n;
}

// Sets a value of class T from its bits without passing it through a
// register of its own type.
template <class T>
void set_bits(T& value, std::uint64_t bits) {
  std::memcpy(&value, &bits, sizeof value);  // little-endian: the low bytes
}

// A result of class T to hand back.  Float results return through the x87
// stack on 32-bit x86, which keeps ordinary values whole but not signalling
// NaNs, so results are ordinary values.
template <class T>
std::uint64_t result_bits() {
  if constexpr (std::is_pointer_v<T>)
    return sizeof(void*) == 8 ? 0xbeef'0000'0000'1230ull : 0xbeef1230u;
  else if constexpr (std::is_same_v<T, std::int32_t>)
    return 0xf8a432ebu;  // -123456789
  else if constexpr (std::is_same_v<T, float>)
    return 0xc49a5000u;  // -1234.5f
  else
    return 0x44dfe185ca57c517ull;  // 6.02214076e23
}

}  // namespace zarn::testing
