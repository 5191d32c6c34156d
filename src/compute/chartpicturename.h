#pragma once

#include <QString>

namespace kavro {

// The file name proposed for a saved chart picture: the registration number
// with the Latin capitals A to Z lowered (every other letter, Cyrillic ones
// included, is kept as it is), each character that cannot stand in a file
// name (/ \ : * ? " < > | and control characters) replaced by "_", and
// ".bmp" appended. "AB123" gives "ab123.bmp".
QString ChartPictureFileName(const QString &registrationNumber);

// text with each character that cannot stand in a file name (/ \ : * ? " < >
// | and control characters) replaced by "_"; every other character is kept.
QString FileNameSafeText(const QString &text);

} // namespace kavro
