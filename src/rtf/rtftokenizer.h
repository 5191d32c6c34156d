#pragma once

#include <QByteArrayView>

#include <optional>

namespace kavro {

// One lexical unit of an RTF stream.
struct RtfToken
{
    enum class Type {
        End, // no more input
        GroupStart, // {
        GroupEnd, // }
        ControlWord, // \name or \nameN (name in `text`)
        ControlSymbol, // \x for a non-letter x (the character in `symbol`)
        HexByte, // \'hh (the byte in `symbol`)
        Text, // a run of literal bytes (in `text`)
        Binary, // the payload of \binN (in `text`)
    };

    RtfToken(Type tokenType = Type::End)
        : type(tokenType)
    { }

    Type type;
    QByteArrayView text;
    int parameter = 0;
    bool hasParameter = false;
    char symbol = 0;
};

// Splits RTF bytes into tokens in a single forward pass. Numeric parameters
// are clamped to the int range, \bin payloads to the bytes that remain, and
// literal line breaks and NUL bytes (never text in RTF) are dropped.
class RtfTokenizer
{
public:
    explicit RtfTokenizer(QByteArrayView data)
        : m_data(data)
    { }

    RtfToken next();

private:
    std::optional<RtfToken> readControl(); // nothing for a backslash at the end
    RtfToken readHexByte();
    RtfToken readText();
    RtfToken readBinary(int length);

    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

} // namespace kavro
