#pragma once

#include <QByteArrayView>
#include <QString>

// A file type as the program shows and stores it: a pattern ("*.doc"), a TAB, a description.

// The row's match key: its text from the second character up to the first TAB, with ASCII
// letters in lower case (".doc" for "*.doc\tWord document"); empty for a row without a TAB.
QString extractExtension(QStringView typeRow);

// The extension of a file name: from its last "." to the end, dot included (".gz" of
// "a.tar.gz", "." of "name."); empty when the name has no dot.
QByteArrayView fileNameExtension(QByteArrayView fileName);

// The description the system registers for an extension (".txt", also "*." and a pattern's
// extension): "No extension" for "*.", else the registered description or file-type name,
// else for a plain extension its letters in upper case and " File" ("XYZ File").
QString fileTypeDescription(const QString &extension);
