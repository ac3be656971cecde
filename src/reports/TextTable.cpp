#include "TextTable.h"

#include "common/FileNameText.h"

#include <algorithm>

QString TextTable::toPlainText() const
{
    QString text;
    writePlainText([&text](const QString &part) { text += part; });
    return text;
}

void TextTable::writePlainText(const std::function<void(const QString &)> &out) const
{
    QList<QStringList> all;
    if (!headings.isEmpty())
        all.append(headings);
    all += rows;
    QList<qsizetype> widths;
    for (const QStringList &row : all) {
        if (widths.size() < row.size())
            widths.resize(row.size(), 0);
        for (qsizetype c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], withoutHiddenControls(row[c]).size());
    }
    auto line = [&](const QStringList &row) {
        QString text;
        for (qsizetype c = 0; c < widths.size(); ++c) {
            // Cells hold names and labels from the disk: nothing in them steers a terminal.
            const QString cell = withoutHiddenControls(row.value(c));
            if (c > 0)
                text += QStringLiteral("  ");
            const bool right = rightAligned.value(c, false);
            text += right ? cell.rightJustified(widths[c]) : cell.leftJustified(widths[c]);
        }
        while (text.endsWith(u' '))
            text.chop(1);
        return text + u'\n';
    };

    // Written out a few hundred lines at a time: a table of any length takes little more
    // memory than its rows.
    QString text;
    auto spill = [&](bool last) {
        if (last || text.size() >= 32768) {
            out(text);
            text.clear();
        }
    };
    if (!title.isEmpty())
        text += withoutHiddenControls(title) + u'\n' + QString(title.size(), u'=') + u'\n';
    if (!headings.isEmpty()) {
        text += line(headings);
        qsizetype ruleWidth = 0;
        for (qsizetype w : widths)
            ruleWidth += w;
        text += QString(ruleWidth + 2 * std::max<qsizetype>(widths.size() - 1, 0), u'-') + u'\n';
    }
    for (const QStringList &row : rows) {
        text += line(row);
        spill(false);
    }
    for (const QString &note : notes)
        text += withoutHiddenControls(note) + u'\n';
    spill(true);
}
