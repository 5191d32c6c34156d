#include "compute/chartpicturename.h"

using namespace Qt::StringLiterals;

namespace kavro {

namespace {

bool CanStandInFileName(QChar character)
{
    static const QString Forbidden = u"/\\:*?\"<>|"_s;
    return character.category() != QChar::Other_Control && !Forbidden.contains(character);
}

} // namespace

QString ChartPictureFileName(const QString &registrationNumber)
{
    QString name = FileNameSafeText(registrationNumber);
    for (QChar &character : name) {
        if (character >= u'A' && character <= u'Z')
            character = QChar(character.unicode() + (u'a' - u'A'));
    }
    return name + u".bmp"_s;
}

QString FileNameSafeText(const QString &text)
{
    QString safe = text;
    for (QChar &character : safe) {
        if (!CanStandInFileName(character))
            character = u'_';
    }
    return safe;
}

} // namespace kavro
