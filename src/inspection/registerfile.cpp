#include "inspection/registerfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {
// The first 16 bytes of every SQLite database file.
constexpr QByteArrayView SqliteHeader("SQLite format 3\0", 16);
// Access (Jet and ACE) files name their engine from byte 4 on.
constexpr qsizetype AccessSignatureOffset = 4;
constexpr QByteArrayView AccessSignatures[] = { "Standard Jet DB", "Standard ACE DB" };

const QString StartAnew = u"Файл оставлен без изменений. Чтобы начать новую базу, переименуйте "
                          u"его или перенесите в другую папку."_s;

bool IsAccessFile(const QByteArray &start)
{
    const QByteArray signatureArea = start.mid(AccessSignatureOffset);
    for (QByteArrayView signature : AccessSignatures)
        if (signatureArea.startsWith(signature))
            return true;
    return false;
}
} // namespace

std::optional<QString> ForeignRegisterFileProblem(const QString &path)
{
    const QFileInfo info(path);
    const QString shownPath = QDir::toNativeSeparators(path);
    if (!info.exists())
        return std::nullopt;
    if (info.isDir())
        return u"«%1» — папка, а не файл базы данных автомобилей."_s.arg(shownPath);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return u"Файл базы данных автомобилей «%1» не удаётся прочитать: %2."_s.arg(
            shownPath, file.errorString());
    const QByteArray start = file.read(32);
    if (start.isEmpty() || start.startsWith(SqliteHeader))
        return std::nullopt;
    if (IsAccessFile(start))
        return u"Файл «%1» — база данных Microsoft Access от прежней версии программы. Эта "
               u"версия хранит автомобили в базе SQLite и не может работать с таким файлом.\r"_s
                   .arg(shownPath)
            + StartAnew;
    return u"Файл «%1» не является базой данных автомобилей (SQLite).\r"_s.arg(shownPath)
        + StartAnew;
}

bool IsWriteProtected(const QString &path)
{
    const QFileInfo info(path);
    // The mode bits, not the user's access: an administrator may write anything.
    constexpr QFile::Permissions AnyWrite
        = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return info.exists() && !(info.permissions() & AnyWrite);
}

} // namespace kavro
