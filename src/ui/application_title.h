#pragma once
// The application's title, with its trailing blank: the caption of the general error box.

namespace xkv {

inline constexpr const char* application_title = "xkv 4410 sw control ";

} // namespace xkv
