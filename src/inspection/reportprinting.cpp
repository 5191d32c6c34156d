#include "inspection/reportprinting.h"

#include <QGuiApplication>
#include <QPageRanges>
#include <QPagedPaintDevice>
#include <QScreen>
#include <QTextDocument>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {

constexpr double twipsPerPoint = 20.0;
// 22 inches, the largest page word processors offer; larger numbers in a file
// are nonsense and would overflow the writer's pixel sizes.
constexpr int largestPaperTwips = 22 * 1440;

double points(int twips)
{
    return twips / twipsPerPoint;
}

bool leavesRoomForText(const RtfPageLayout &page)
{
    const bool marginsValid = page.marginLeft >= 0 && page.marginRight >= 0 && page.marginTop >= 0
        && page.marginBottom >= 0;
    // 64-bit sums: the numbers come from the file and may be near INT_MAX.
    const qint64 textWidth = qint64(page.paperWidth) - page.marginLeft - page.marginRight;
    const qint64 textHeight = qint64(page.paperHeight) - page.marginTop - page.marginBottom;
    return marginsValid && textWidth > 0 && textHeight > 0 && page.paperWidth <= largestPaperTwips
        && page.paperHeight <= largestPaperTwips;
}

// The resolution QTextDocument lays text out at when it has no paint device of its own.
qreal layoutResolution()
{
    if (QCoreApplication::testAttribute(Qt::AA_Use96Dpi))
        return 96;
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInchX()) : 96;
}

} // namespace

QPageLayout ReportPageLayout(const RtfPageLayout &page)
{
    if (!leavesRoomForText(page))
        return {};
    // QPageSize keeps sizes upright; a wide RTF page is an upright page turned.
    const bool landscape = page.paperWidth > page.paperHeight;
    const QSizeF upright(points(std::min(page.paperWidth, page.paperHeight)),
        points(std::max(page.paperWidth, page.paperHeight)));
    const QMarginsF margins(points(page.marginLeft), points(page.marginTop),
        points(page.marginRight), points(page.marginBottom));
    return QPageLayout(QPageSize(upright, QPageSize::Point, QString(), QPageSize::ExactMatch),
        landscape ? QPageLayout::Landscape : QPageLayout::Portrait, margins, QPageLayout::Point);
}

QString UnusablePageText(const RtfPageLayout &page)
{
    return u"the page of the document is unusable (paper %1 x %2 twips, "
           u"margins left %3, right %4, top %5, bottom %6)"_s.arg(page.paperWidth)
               .arg(page.paperHeight)
               .arg(page.marginLeft)
               .arg(page.marginRight)
               .arg(page.marginTop)
               .arg(page.marginBottom);
}

void PrintOnPages(QTextDocument &document, QPagedPaintDevice &device)
{
    // A printer dialog may leave a page range behind; the report is printed whole.
    device.setPageRanges(QPageRanges());

    // Pages of the text area, in the units the document is laid out in (pixels
    // of the screen resolution, as QTextDocument::print() assumes for a document
    // without its own paint device). print() then only scales to the device and
    // adds neither margins nor page numbers.
    const QSizeF textArea
        = device.pageLayout().paintRect(QPageLayout::Inch).size() * layoutResolution();
    const QSizeF previousPageSize = document.pageSize();
    const qreal previousMargin = document.documentMargin();
    document.setDocumentMargin(0);
    document.setPageSize(textArea);
    document.print(&device);
    document.setPageSize(previousPageSize);
    document.setDocumentMargin(previousMargin);
}

} // namespace kavro
