#pragma once
// The program's texts are UTF-8 byte strings; the windows show them as QString.

#include <QString>

#include <string>
#include <string_view>

namespace xkv {

inline QString qt_text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string std_text(const QString& text) { return text.toStdString(); }

} // namespace xkv
