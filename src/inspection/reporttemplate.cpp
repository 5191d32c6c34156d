#include "inspection/reporttemplate.h"

#include "inspection/reportprinting.h"

#include <QFile>
#include <QTextBlock>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {

ReportTemplate Refused(const QString &error)
{
    ReportTemplate refused;
    refused.error = error;
    return refused;
}

int LongestParagraph(const QTextDocument &document)
{
    int longest = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        longest = std::max(longest, block.length() - 1); // without its separator
    return longest;
}

} // namespace

ReportTemplate LoadReportTemplate(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Refused(u"cannot read %1: %2"_s.arg(path, file.errorString()));
    if (file.size() > MaxTemplateFileBytes) {
        return Refused(u"%1 has %2 bytes, more than the %3 a template may have"_s.arg(path)
                           .arg(file.size())
                           .arg(MaxTemplateFileBytes));
    }
    const QByteArray data = file.read(MaxTemplateFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return Refused(u"cannot read %1: %2"_s.arg(path, file.errorString()));
    ReportTemplate loaded = ReadReportTemplate(data);
    if (!loaded.ok())
        loaded.error = path + u": "_s + loaded.error;
    return loaded;
}

ReportTemplate ReadReportTemplate(const QByteArray &data)
{
    if (data.size() > MaxTemplateFileBytes) {
        return Refused(u"%1 bytes, more than the %2 a template may have"_s.arg(data.size())
                           .arg(MaxTemplateFileBytes));
    }
    RtfReadResult read = ReadRtf(data);
    if (!read.ok())
        return Refused(u"not a readable RTF document: "_s + read.error);
    if (!ReportPageLayout(read.page).isValid())
        return Refused(UnusablePageText(read.page));
    if (read.document->characterCount() > MaxTemplateCharacters) {
        return Refused(u"%1 characters of text, more than the %2 a template may have"_s
                           .arg(read.document->characterCount())
                           .arg(MaxTemplateCharacters));
    }
    if (const int longest = LongestParagraph(*read.document);
        longest > MaxTemplateParagraphCharacters) {
        return Refused(
            u"a paragraph of %1 characters, more than the %2 a template may have"_s.arg(longest)
                .arg(MaxTemplateParagraphCharacters));
    }
    ReportTemplate loaded;
    loaded.document = std::move(read.document);
    loaded.page = read.page;
    return loaded;
}

} // namespace kavro
