// Texts cross between the core (8-bit Latin-1 strings) and Qt (QString) only through here.
#pragma once

#include <QByteArray>
#include <QString>
#include <string>

namespace ostravel {

inline QString ToQt(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Characters outside Latin-1 become "?", as the database files cannot hold them; callers that
// store text check with OutsideLatin1 first.
inline std::string FromQt(const QString& text) {
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// The characters of text that Latin-1 cannot hold, each once, as code points ("U+2082"),
// separated by blanks; "" when there are none.
inline std::string OutsideLatin1(const QString& text) {
  std::string found;
  for (char32_t c : text.toUcs4()) {
    if (c <= 0xFF) continue;
    const std::string code =
        "U+" + QString::number(c, 16).toUpper().rightJustified(4, QLatin1Char('0')).toStdString();
    if (found.find(code) != std::string::npos) continue;
    if (!found.empty()) found += ' ';
    found += code;
  }
  return found;
}

}  // namespace ostravel
