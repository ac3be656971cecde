#pragma once

#include "TextTable.h"

#include <QByteArray>

// A listing as CSV (RFC 4180): UTF-8, CRLF line ends, a heading row, a field quoted when it
// holds a comma, a quote or a line break (quotes doubled). Figures of the right-aligned
// columns are written as plain digits, without thousands separators. A text that a
// spreadsheet would take for a formula (starting with =, +, -, @, a tab or a carriage return)
// gets a leading '; control characters and direction marks are written as escapes.
namespace CsvWriter {

QByteArray fromTable(const TextTable &table);
// The same, handed to out in pieces.
void writeTable(const TextTable &table, const std::function<void(const QByteArray &)> &out);
// One field, escaped as above (without the figures' rule).
QByteArray field(const QString &text);

} // namespace CsvWriter
