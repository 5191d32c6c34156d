#include "rtfcodepage.h"

#include <algorithm>
#include <array>

namespace kavro {

int RtfCodePage::forCharset(int charset, int documentCodePage)
{
    struct CharsetCodePage
    {
        int charset;
        int codePage;
    };
    static constexpr std::array<CharsetCodePage, 21> table { {
        { 2, Symbol },
        { 77, 10000 },
        { 78, 10001 },
        { 79, 10003 },
        { 80, 10008 },
        { 81, 10002 },
        { 128, 932 },
        { 129, 949 },
        { 130, 1361 },
        { 134, 936 },
        { 136, 950 },
        { 161, 1253 },
        { 162, 1254 },
        { 163, 1258 },
        { 177, 1255 },
        { 178, 1256 },
        { 186, 1257 },
        { 204, 1251 },
        { 222, 874 },
        { 238, 1250 },
        { 255, 850 },
    } };
    const auto found = std::find_if(table.begin(), table.end(),
        [charset](const CharsetCodePage &entry) { return entry.charset == charset; });
    if (found != table.end())
        return found->codePage;
    if (charset == 254)
        return 437;
    return documentCodePage;
}

namespace {

QByteArray encodingName(int codePage)
{
    switch (codePage) {
    case RtfCodePage::Utf8:
        return "UTF-8";
    case 932:
    case 10001: // Mac Japanese: the same double-byte scheme
        return "Shift_JIS";
    case 936:
        return "GBK";
    case 949:
        return "windows-949";
    case 950:
        return "Big5";
    case 10000:
        return "macintosh";
    case 10007:
        return "x-mac-cyrillic";
    case 20866:
        return "KOI8-R";
    default:
        break;
    }
    if (codePage >= 1250 && codePage <= 1258)
        return "windows-" + QByteArray::number(codePage);
    if (codePage == 874)
        return "windows-874";
    if (codePage >= 28591 && codePage <= 28605)
        return "ISO-8859-" + QByteArray::number(codePage - 28590);
    return "cp" + QByteArray::number(codePage);
}

// Greek letters and the common signs of the Symbol font at the positions
// where it has them; everything else reads as Latin-1.
QChar symbolFontChar(uchar byte)
{
    static const char16_t lower[] = u"αβχδεφγηιϕκλμνοπθρστυϖωξψζ";
    static const char16_t upper[] = u"ΑΒΧΔΕΦΓΗΙϑΚΛΜΝΟΠΘΡΣΤΥςΩΞΨΖ";
    if (byte >= 'a' && byte <= 'z')
        return QChar(lower[byte - 'a']);
    if (byte >= 'A' && byte <= 'Z')
        return QChar(upper[byte - 'A']);
    switch (byte) {
    case 0xA3:
        return QChar(u'≤');
    case 0xB3:
        return QChar(u'≥');
    case 0xB0:
        return QChar(u'°');
    case 0xB1:
        return QChar(u'±');
    case 0xB4:
        return QChar(u'×');
    case 0xB7:
        return QChar(u'•');
    case 0xB8:
        return QChar(u'÷');
    case 0xA5:
        return QChar(u'∞');
    default:
        return QLatin1Char(static_cast<char>(byte));
    }
}

} // namespace

QString RtfTextDecoder::decode(QByteArrayView bytes, int codePage)
{
    if (codePage == RtfCodePage::Symbol) {
        QString text(bytes.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < bytes.size(); ++i)
            text[i] = symbolFontChar(static_cast<uchar>(bytes[i]));
        return text;
    }
    const bool ascii = std::all_of(
        bytes.begin(), bytes.end(), [](char c) { return static_cast<uchar>(c) < 0x80; });
    if (ascii)
        return QString::fromLatin1(bytes);
    return decoderFor(codePage).decode(bytes);
}

QStringDecoder &RtfTextDecoder::decoderFor(int codePage)
{
    // Every \ansicpgN of a hostile file would otherwise keep a decoder alive.
    constexpr std::size_t maxDecoders = 16;
    if (m_decoders.size() >= maxDecoders && !m_decoders.contains(codePage))
        m_decoders.clear();
    auto &decoder = m_decoders[codePage];
    if (!decoder) {
        const auto flags = QStringConverter::Flag::Stateless;
        decoder = std::make_unique<QStringDecoder>(encodingName(codePage).constData(), flags);
        if (!decoder->isValid())
            decoder = std::make_unique<QStringDecoder>("windows-1252", flags);
        if (!decoder->isValid())
            decoder = std::make_unique<QStringDecoder>(QStringConverter::Latin1, flags);
    }
    return *decoder;
}

} // namespace kavro
