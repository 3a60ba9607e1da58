// Text between the framework (UTF-8, Windows line ends and mnemonics) and Qt.
#pragma once
#include <QString>
#include <string>

namespace platform::ui::detail {

inline QString ToQt(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
inline std::string FromQt(const QString& text) { return text.toStdString(); }
// "\r\n" to "\n".
std::string LineFeeds(const std::string& text);
// "\n" (not after '\r') to "\r\n".
std::string CrLf(const std::string& text);
// A static's text as it shows: '&' marks the next letter, "&&" is one '&'.
std::string StripMnemonics(const std::string& text);

}  // namespace platform::ui::detail
