#include "templatepdf.h"

#include "inspection/reportprinting.h"

#include <QFile>
#include <QPdfWriter>

using namespace Qt::StringLiterals;

namespace kavro {

QString PrintToPdf(QTextDocument &document, const RtfPageLayout &page, const QString &pdfPath)
{
    const QPageLayout pageLayout = ReportPageLayout(page);
    if (!pageLayout.isValid())
        return UnusablePageText(page);

    QFile file(pdfPath);
    if (!file.open(QIODevice::WriteOnly))
        return u"cannot write %1: %2"_s.arg(pdfPath, file.errorString());

    QPdfWriter writer(&file);
    writer.setCreator(u"kavro02-template"_s);
    if (!writer.setPageLayout(pageLayout)) {
        file.remove();
        return u"the PDF writer refused the page of the document"_s;
    }
    PrintOnPages(document, writer);

    if (!file.flush() || file.error() != QFileDevice::NoError)
        return u"cannot write %1: %2"_s.arg(pdfPath, file.errorString());
    if (file.size() == 0)
        return u"nothing could be printed into %1"_s.arg(pdfPath);
    return {};
}

} // namespace kavro
