#pragma once

#include "platform/DirEntry.h"
#include "platform/PackedFileDate.h"

#include <QString>
#include <QStringView>

enum EntryKind { ekDirectory, ekDotEntry, ekFile };

// The text with every character dropped that is not an ASCII digit: "1,234" -> "1234".
QString digitsOnly(QStringView text);

// Exclamation beep, then the modal "Error" box.
void showError(const QString &message);
// The modal "Information" box, without a beep.
void showInfo(const QString &message);

// Leading blanks, an optional sign, decimal digits or "$" and hexadecimal digits, nothing after,
// within 32 bits signed; anything else gives 0.
qint32 textToInt(QStringView text);
// Blanks around, an optional sign, digits with at most one of the user's decimal separators,
// an optional exponent; no thousands separators. Anything else, overflow included, gives 0.
double textToFloat(QStringView text);

// The whole number with the user's thousands separator: 1234567 -> "1,234,567".
QString intToGrouped(qint64 value);
// The value rounded (half away from zero) to a whole number with thousands separators, in
// whole digits up to 19 of them (2^63 and more); beyond, in exponent form with up to 14
// significant digits ("1.5E20"). Not finite: empty text.
QString floatToGrouped(double value);

EntryKind classifyEntry(const DirEntry &entry);

// Field n (from 1) of a TAB-separated row, without leading and trailing characters of code 32
// or less; empty when the row has no such field.
QString tabField(QStringView row, int n);

PackedFileDate accessedDate(const DirEntry &entry);
PackedFileDate createdDate(const DirEntry &entry);
PackedFileDate modifiedDate(const DirEntry &entry);

// "(Fixed disk)" and the like for drive types 2 to 6; the empty text for any other code.
QString driveTypeText(quint32 driveType);
