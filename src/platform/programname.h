#pragma once

#include <QString>

namespace kavro {

// The instrument's and the program's name: the main window's caption and
// title line, the splash, and the title of every message box.
inline const QString ProgramName = QStringLiteral("КАВРО-02");

} // namespace kavro
