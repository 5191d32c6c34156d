#include "inspection/reportpdf.h"

#include "compute/chartpicturename.h"
#include "inspection/reportprinting.h"
#include "platform/programname.h"

#include <QDir>
#include <QPdfWriter>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace kavro {

QString ReportPdfFileName(const QString &registrationNumber, QDate date)
{
    const QString day = date.toString(u"yyyy-MM-dd"_s);
    const QString name = registrationNumber.isEmpty() ? day : registrationNumber + u' ' + day;
    return FileNameSafeText(name) + u".pdf"_s;
}

QString SaveReportPdf(
    QTextDocument &document, const RtfPageLayout &page, const QString &path, const QString &title)
{
    const auto failure = [&path](const QString &reason) {
        return u"Не удалось сохранить протокол в файл\r%1\r%2"_s.arg(
            QDir::toNativeSeparators(path), reason);
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failure(file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setTitle(title);
        writer.setCreator(ProgramName);
        if (!writer.setPageLayout(ReportPageLayout(page)))
            return failure(UnusablePageText(page));
        PrintOnPages(document, writer);
    } // the writer finishes the file when it goes
    if (!file.commit())
        return failure(file.errorString());
    return {};
}

} // namespace kavro
