#pragma once

#include <QByteArray>
#include <QString>

namespace tk {

// Why a system call failed, for a user: our words for the common causes, in the
// program's language, with the system's own text after them.
QString reasonOf(int errnum);

// A file name as it can be shown on one line: control characters and bytes that are
// not valid UTF-8 are written as escapes (\n, \t, \xNN), a backslash as \\.
QString printableName(const QByteArray &nativeName);
QString printableName(const QString &name);

// True when the name's bytes are valid text in the system's encoding, so it survives
// being held as a QString.
bool isValidText(const QByteArray &nativeName);

// A name as a window's messages show it: as it is when it is valid text, else escaped.
QString shownName(const QByteArray &nativeName);

} // namespace tk
