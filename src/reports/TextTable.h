#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// A report page as text: a title, a heading row and data rows, with the alignment of each
// column, and lines of text under the table.
struct TextTable {
    QString title;
    // The report page it shows (ReportPage::Page), or -1 for any other table.
    int page = -1;
    QStringList headings;
    QList<QStringList> rows;
    QList<bool> rightAligned; // per column; missing columns are left-aligned
    QStringList notes;

    // The table in columns padded with blanks, two blanks apart, a line under the headings.
    QString toPlainText() const;
    // The same, handed to out in pieces.
    void writePlainText(const std::function<void(const QString &)> &out) const;
};
