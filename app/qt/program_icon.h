// The program's icon, drawn at several sizes and built into the program, so that the window
// shows it wherever the program runs.
#pragma once

#include <QIcon>

namespace ostravel {

// The sizes built in: those of title bars and task switchers.
inline constexpr int kProgramIconSizes[] = {16, 24, 32, 48, 64};

QIcon ProgramIcon();

}  // namespace ostravel
