#include "CsvWriter.h"

#include "common/RegionalSettings.h"

namespace {

// "1,234,567" as "1234567" and "2,50" (a decimal comma) as "2.50", whatever the user's
// separators; a text that is no figure stays as it is.
QString plainFigure(const QString &cell)
{
    const RegionalSettings &regional = RegionalSettings::current();
    QString digits = cell.trimmed();
    if (!regional.thousandSeparator.isEmpty())
        digits.remove(regional.thousandSeparator);
    if (!regional.decimalSeparator.isEmpty())
        digits.replace(regional.decimalSeparator, QStringLiteral("."));
    bool figure = !digits.isEmpty() && digits.count(u'.') <= 1;
    for (const QChar c : digits)
        figure = figure && (c.isDigit() || c == u'.');
    return figure ? digits : cell;
}

QByteArray row(const QStringList &cells, const QList<bool> &figures)
{
    QByteArray line;
    for (qsizetype c = 0; c < cells.size(); ++c) {
        if (c > 0)
            line += ',';
        const bool figure = c < figures.size() && figures[c];
        line += CsvWriter::field(figure ? plainFigure(cells[c]) : cells[c]);
    }
    return line + "\r\n";
}

} // namespace

QByteArray CsvWriter::field(const QString &text)
{
    QString value = text;
    if (!value.isEmpty() && QStringLiteral("=+-@").contains(value[0]))
        value.prepend(u'\'');
    const bool quoted = value.contains(u',') || value.contains(u'"') || value.contains(u'\n') ||
                        value.contains(u'\r');
    if (!quoted)
        return value.toUtf8();
    value.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return '"' + value.toUtf8() + '"';
}

QByteArray CsvWriter::fromTable(const TextTable &table)
{
    QByteArray text = row(table.headings, {});
    for (const QStringList &cells : table.rows)
        text += row(cells, table.rightAligned);
    return text;
}
