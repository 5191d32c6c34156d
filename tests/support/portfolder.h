#pragma once

#include "support/ptyinstrument.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QVariant>

namespace kavro::test {

// The program folder of a port set-up test, with two pseudo-terminals, A
// and B, that its settings file names as %A and %B.
class PortFolder
{
public:
    // Settings text that stands for "no settings file".
    static inline const QString NoFile = QStringLiteral("<no file>");

    QTemporaryDir folder;
    PtyInstrument ptyA;
    PtyInstrument ptyB;

    bool IsValid() const { return folder.isValid() && ptyA.IsOpen() && ptyB.IsOpen(); }
    QString Path() const { return folder.path(); }
    QString IniPath() const { return folder.filePath(QStringLiteral("KAVRO02.ini")); }

    // Replaces the settings file with text, %A and %B standing for the
    // pseudo-terminals; NoFile leaves none.
    void WriteSettings(QString text) const
    {
        QFile::remove(IniPath());
        if (text == NoFile)
            return;
        text.replace(QStringLiteral("%A"), ptyA.SlavePath())
            .replace(QStringLiteral("%B"), ptyB.SlavePath());
        QFile file(IniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
    }

    QVariant StoredIndex() const
    {
        return QSettings(IniPath(), QSettings::IniFormat).value(QStringLiteral("COM"));
    }

    // "A" or "B" for the pseudo-terminal this process holds open, else empty.
    QString OpenPty() const
    {
        if (ptyA.SlaveOpenInProcess())
            return QStringLiteral("A");
        return ptyB.SlaveOpenInProcess() ? QStringLiteral("B") : QString();
    }
};

} // namespace kavro::test
