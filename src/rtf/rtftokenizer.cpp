#include "rtftokenizer.h"

#include <limits>

namespace kavro {

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool endsText(char c)
{
    return c == '{' || c == '}' || c == '\\' || c == '\r' || c == '\n' || c == '\0';
}

} // namespace

RtfToken RtfTokenizer::next()
{
    while (m_pos < m_data.size()) {
        const char c = m_data[m_pos];
        switch (c) {
        case '{':
            ++m_pos;
            return { RtfToken::Type::GroupStart };
        case '}':
            ++m_pos;
            return { RtfToken::Type::GroupEnd };
        case '\\':
            ++m_pos;
            if (auto token = readControl())
                return *token;
            continue;
        case '\r':
        case '\n':
        case '\0':
            ++m_pos;
            continue;
        default:
            return readText();
        }
    }
    return {};
}

std::optional<RtfToken> RtfTokenizer::readControl()
{
    if (m_pos >= m_data.size())
        return std::nullopt;
    const char first = m_data[m_pos];
    if (first == '\'') {
        ++m_pos;
        return readHexByte();
    }
    if (!isLetter(first)) {
        ++m_pos;
        RtfToken token { RtfToken::Type::ControlSymbol };
        token.symbol = first;
        return token;
    }

    // Control words are at most 32 letters; longer ones are consumed whole and
    // kept truncated, so they stay unknown words instead of becoming text.
    constexpr qsizetype maxNameLength = 32;
    const qsizetype nameStart = m_pos;
    while (m_pos < m_data.size() && isLetter(m_data[m_pos]))
        ++m_pos;
    RtfToken token { RtfToken::Type::ControlWord };
    token.text = m_data.sliced(nameStart, qMin(m_pos - nameStart, maxNameLength));

    const bool negative
        = m_pos + 1 < m_data.size() && m_data[m_pos] == '-' && isDigit(m_data[m_pos + 1]);
    if (negative)
        ++m_pos;
    if (m_pos < m_data.size() && isDigit(m_data[m_pos])) {
        // Saturate instead of overflowing; all digits are consumed.
        constexpr qint64 limit = std::numeric_limits<int>::max();
        qint64 value = 0;
        while (m_pos < m_data.size() && isDigit(m_data[m_pos])) {
            value = qMin(limit, value * 10 + (m_data[m_pos] - '0'));
            ++m_pos;
        }
        token.hasParameter = true;
        token.parameter = static_cast<int>(negative ? -value : value);
    }
    if (m_pos < m_data.size() && m_data[m_pos] == ' ')
        ++m_pos;

    if (token.text == "bin")
        return readBinary(token.parameter);
    return token;
}

RtfToken RtfTokenizer::readHexByte()
{
    // Up to two characters belong to the escape; an invalid one becomes the
    // control symbol \' (which shows nothing but still counts as a fallback
    // character after \u). Braces and backslashes are never swallowed by it.
    int value = 0;
    bool valid = true;
    for (int i = 0; i < 2; ++i) {
        if (m_pos >= m_data.size() || m_data[m_pos] == '{' || m_data[m_pos] == '}'
            || m_data[m_pos] == '\\') {
            valid = false;
            break;
        }
        const int digit = hexValue(m_data[m_pos]);
        ++m_pos;
        valid = valid && digit >= 0;
        value = value * 16 + qMax(digit, 0);
    }
    if (!valid) {
        RtfToken token { RtfToken::Type::ControlSymbol };
        token.symbol = '\'';
        return token;
    }
    RtfToken token { RtfToken::Type::HexByte };
    token.symbol = static_cast<char>(value);
    return token;
}

RtfToken RtfTokenizer::readText()
{
    const qsizetype start = m_pos;
    while (m_pos < m_data.size() && !endsText(m_data[m_pos]))
        ++m_pos;
    RtfToken token { RtfToken::Type::Text };
    token.text = m_data.sliced(start, m_pos - start);
    return token;
}

RtfToken RtfTokenizer::readBinary(int length)
{
    const qsizetype available = m_data.size() - m_pos;
    const qsizetype taken = qBound(qsizetype(0), qsizetype(length), available);
    RtfToken token { RtfToken::Type::Binary };
    token.text = m_data.sliced(m_pos, taken);
    m_pos += taken;
    return token;
}

} // namespace kavro
