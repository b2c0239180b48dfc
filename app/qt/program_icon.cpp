#include "qt/program_icon.h"

#include <QString>

namespace ostravel {

QIcon ProgramIcon() {
  QIcon icon;
  // The files are read only when a size is drawn.
  for (int size : kProgramIconSizes)
    icon.addFile(QStringLiteral(":/icons/ostravel-%1.png").arg(size), QSize(size, size));
  return icon;
}

}  // namespace ostravel
