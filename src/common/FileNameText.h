#pragma once

#include <QByteArrayView>
#include <QString>

#include <functional>

// File names are the file system's bytes and untrusted: any bytes, control characters
// included, and not always UTF-8.

// Decodes name piece by piece: runs of valid UTF-8 as text, each other byte on its own.
void decodeFileName(QByteArrayView name, const std::function<void(QStringView)> &text,
                    const std::function<void(uchar)> &invalidByte);

// The name for a terminal or a text file: control characters and bytes that are not UTF-8
// written as \xNN (a backslash as \\), so no escape sequence reaches a terminal.
QString printableFileName(QByteArrayView name);
