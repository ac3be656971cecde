#include "CsvWriter.h"

#include "common/FileNameText.h"
#include "common/RegionalSettings.h"

#include <optional>

namespace {

// "1,234,567" as "1234567", "2,50" (a decimal comma) as "2.50" and a signed change "+1,000" as
// "1000" ("-70,000" as "-70000"), whatever the user's separators; nothing for a text that is no
// figure.
std::optional<QString> plainFigure(const QString &cell)
{
    const RegionalSettings &regional = RegionalSettings::current();
    QString digits = cell.trimmed();
    if (!regional.thousandSeparator.isEmpty())
        digits.remove(regional.thousandSeparator);
    if (!regional.decimalSeparator.isEmpty())
        digits.replace(regional.decimalSeparator, QStringLiteral("."));
    const bool negative = digits.startsWith(u'-');
    if (negative || digits.startsWith(u'+'))
        digits.remove(0, 1);
    bool figure = !digits.isEmpty() && digits.count(u'.') <= 1;
    for (const QChar c : digits)
        figure = figure && (c.isDigit() || c == u'.');
    if (!figure)
        return std::nullopt;
    return negative ? u'-' + digits : digits;
}

QByteArray row(const QStringList &cells, const QList<bool> &figures)
{
    QByteArray line;
    for (qsizetype c = 0; c < cells.size(); ++c) {
        if (c > 0)
            line += ',';
        const bool figure = c < figures.size() && figures[c];
        // A figure of ours goes as it is: a minus sign before digits starts no formula.
        const std::optional<QString> plain = figure ? plainFigure(cells[c]) : std::nullopt;
        line += plain ? plain->toUtf8() : CsvWriter::field(cells[c]);
    }
    return line + "\r\n";
}

} // namespace

QByteArray CsvWriter::field(const QString &text)
{
    QString value = withoutHiddenControls(text);
    // A cell a spreadsheet would take for a formula (or a cell it would shift by a leading
    // tab or carriage return) is kept as text.
    if (!text.isEmpty() && QStringLiteral("=+-@\t\r").contains(text[0]))
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
    QByteArray text;
    writeTable(table, [&text](const QByteArray &part) { text += part; });
    return text;
}

void CsvWriter::writeTable(const TextTable &table,
                           const std::function<void(const QByteArray &)> &out)
{
    QByteArray text = row(table.headings, {});
    for (const QStringList &cells : table.rows) {
        text += row(cells, table.rightAligned);
        if (text.size() >= 65536) {
            out(text);
            text.clear();
        }
    }
    out(text);
}
