#include "rtfreader.h"

#include "rtfdocumentwriter.h"
#include "rtfparser.h"

namespace kavro {

using namespace Qt::StringLiterals;

namespace {

// Whether the data opens the way every RTF file does: "{\rtf", after an
// optional byte-order mark and white space.
bool startsLikeRtf(QByteArrayView data)
{
    if (data.startsWith("\xEF\xBB\xBF"))
        data = data.sliced(3);
    while (!data.isEmpty()
        && (data.front() == ' ' || data.front() == '\t' || data.front() == '\r'
            || data.front() == '\n'))
        data = data.sliced(1);
    return data.startsWith("{\\rtf");
}

} // namespace

RtfReadResult ReadRtf(const QByteArray &data)
{
    RtfReadResult result;
    if (!startsLikeRtf(data)) {
        result.error = data.isEmpty()
            ? u"The file is empty."_s
            : u"The file is not an RTF document: it does not begin with \"{\\rtf\"."_s;
        return result;
    }
    const RtfContent content = RtfParser(data).parse();
    result.page = content.page;
    result.document = RtfDocumentWriter(content).write();
    return result;
}

} // namespace kavro
