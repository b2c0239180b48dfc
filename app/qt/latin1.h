// Texts cross between the core (8-bit Latin-1 strings) and Qt (QString) only through here.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <string>

#include "runtime/typed_text.h"

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

// The entry line as the core reads it: Latin-1 when every character fits, else UTF-8, so that
// the reading of a calculation sees the characters typed (H\u2082O, 2\u22123) rather than "?".
inline std::string EntryFromQt(const QString& text) {
  for (const QChar c : text) {
    if (c.unicode() > 0xFF) {
      const QByteArray bytes = text.toUtf8();
      return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
  }
  return FromQt(text);
}

// A core text that may quote what the user typed (the entry line, messages): a valid
// multi-byte UTF-8 sequence is one character, any other byte a Latin-1 character.
inline QString TypedToQt(const std::string& text) {
  QString result;
  result.reserve(static_cast<qsizetype>(text.size()));
  for (std::size_t i = 0; i < text.size();) {
    const TypedCharacter c = ReadTypedCharacter(text, i);
    const char32_t code = c.code;
    result.append(QString::fromUcs4(&code, 1));
    i += c.length;
  }
  return result;
}

}  // namespace ostravel
