// The program's icon, drawn at several sizes and built into the program, so that the window
// shows it wherever the program runs.
#pragma once

#include <QIcon>

namespace ostravel {

QIcon ProgramIcon();

}  // namespace ostravel
