#pragma once

#include <QString>
#include <optional>

namespace kavro {

// Why the file at path must not be opened as the register, in words for the
// operator; nothing when it is an SQLite database, empty or missing (SQLite
// then makes it one). Looks only at the first bytes and writes nothing, so a
// file of another kind (an Access database of an older installation, say)
// stays exactly as it is.
std::optional<QString> ForeignRegisterFileProblem(const QString &path);

// Whether the operator has made the file read-only (no write permission for
// anyone). Such a file is opened read-only even by an administrator, who could
// otherwise write it.
bool IsWriteProtected(const QString &path);

} // namespace kavro
