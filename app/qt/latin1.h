// Texts cross between the core (8-bit Latin-1 strings) and Qt (QString) only through here.
#pragma once

#include <QByteArray>
#include <QString>
#include <string>

namespace ostravel {

inline QString ToQt(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Characters outside Latin-1 become "?", as the database files cannot hold them.
inline std::string FromQt(const QString& text) {
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace ostravel
