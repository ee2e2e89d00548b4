#pragma once

#include <QByteArray>
#include <QString>

namespace sylvaro::persist {

// The small data files (settings, custom selections, mixes) are text in
// Windows-1252, the code page the files were always written in, so files
// move between this program and older copies unchanged. The five bytes the
// code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the
// control characters of the same number, so every byte reads back as itself.
// Any thread.

// True when every character of `text` has a byte in the code page.
bool fitsWindows1252(const QString& text);
// One byte per character; a character with no byte (one of a surrogate
// pair counts as one character) becomes '?'.
QByteArray toWindows1252(const QString& text);
// Every byte is a character.
QString fromWindows1252(const QByteArray& bytes);

} // namespace sylvaro::persist
