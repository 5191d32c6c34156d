#pragma once

class QCoreApplication;

namespace kavro {

// Qt's own texts (the file and printer dialogs, standard buttons, context
// menus of edit fields) in Russian, like the program's: Qt's catalogue from
// the Qt installation, or from a folder "translations" beside the program,
// where a Windows installation carries it. False when neither is there; Qt's
// texts then stay English.
bool InstallQtRussianTexts(QCoreApplication &application);

} // namespace kavro
