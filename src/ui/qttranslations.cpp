#include "ui/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace kavro {

bool InstallQtRussianTexts(QCoreApplication &application)
{
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    for (const QString &folder : QStringList { QLibraryInfo::path(QLibraryInfo::TranslationsPath),
             QCoreApplication::applicationDirPath() + u"/translations"_s }) {
        auto *translator = new QTranslator(&application);
        if (translator->load(russian, u"qtbase"_s, u"_"_s, folder)) {
            QCoreApplication::installTranslator(translator);
            return true;
        }
        delete translator;
    }
    return false;
}

} // namespace kavro
