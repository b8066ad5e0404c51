#pragma once
// SHA-256 of a byte string, for keys that must come out the same wherever the same row is read.

#include <array>
#include <cstdint>
#include <string_view>

namespace xkv {

std::array<std::uint8_t, 32> sha256(std::string_view bytes);

} // namespace xkv
