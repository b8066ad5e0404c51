#pragma once
// The program's texts are UTF-8 byte strings; the windows show them as QString.

#include <QString>

#include <string>

namespace xkv {

inline QString qt_text(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace xkv
