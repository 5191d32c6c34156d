#pragma once

#include "rtf/rtfreader.h"

#include <QPageLayout>
#include <QString>

class QPagedPaintDevice;
class QTextDocument;

namespace kavro {

// The page an RTF file gives: paper size and margins in points (1/20 of a
// twip). Invalid when the paper is empty or implausibly large, or the
// margins leave no room for text.
QPageLayout ReportPageLayout(const RtfPageLayout &page);

// Why ReportPageLayout refuses a page, naming its numbers.
QString UnusablePageText(const RtfPageLayout &page);

// Prints the whole document on a printer or PDF writer whose page is already
// set: paginated on the page's text area, without page numbers or margins of
// its own, every page whatever page range the device was given.
void PrintOnPages(QTextDocument &document, QPagedPaintDevice &device);

} // namespace kavro
