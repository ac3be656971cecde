#pragma once

#include <QByteArrayView>
#include <QString>

#include <functional>

// File names are the file system's bytes and untrusted: any bytes, control characters
// included, and not always UTF-8.

// Decodes name piece by piece: runs of valid UTF-8 as text, each other byte on its own.
void decodeFileName(QByteArrayView name, const std::function<void(QStringView)> &text,
                    const std::function<void(uchar)> &invalidByte);

// The name for a terminal, a text file or a window: control characters below 0x80 and bytes
// that are not UTF-8 written as \xNN, other control characters and the marks that turn the
// direction of text (so that "evil\u202Etxt.exe" cannot pass for "evilexe.txt") as \uNNNN, a
// backslash as \\. No escape sequence reaches a terminal, nothing is hidden, and
// fileNameOfPrintable gives every byte back.
QString printableFileName(QByteArrayView name);
// The same for a text that is already characters (a label, a mount point).
QString printableText(QStringView text);
// text with every hidden control written as printableFileName writes it, everything else (a
// backslash included) left as it is: the last guard of a writer whose cells are mostly its own.
QString withoutHiddenControls(const QString &text);
// The bytes of a name printableFileName wrote.
QByteArray fileNameOfPrintable(QStringView printable);
// Characters that must never reach a terminal or a listing as they are: controls, and the
// marks that turn the direction of text. Asked of every character written, so printable ASCII
// is let through first.
inline bool isHiddenControl(char32_t code)
{
    if (code >= 0x20 && code < 0x7F)
        return false;
    return code < 0x20 || (code >= 0x7F && code < 0xA0) || code == 0x061C || code == 0x200E ||
           code == 0x200F || (code >= 0x202A && code <= 0x202E) ||
           (code >= 0x2066 && code <= 0x2069);
}
// Whether every byte of name is printable ASCII other than a backslash: a name every writer
// takes as it is, with no decoding and no escapes.
bool isPlainName(QByteArrayView name);
