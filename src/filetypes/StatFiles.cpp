#include "StatFiles.h"

#include "TypeRow.h"
#include "common/Utility.h"
#include "platform/FileTypeRegistry.h"
#include "platform/ProfileFile.h"

#include <algorithm>

namespace {

constexpr int maxValueLength = 1023;

// Number as the profile reads it: decimal, or hexadecimal after "0x"; -1 when it is missing or
// not an integer.
int entryCount(const std::optional<QString> &text)
{
    if (!text || text->isNull())
        return -1;
    bool ok = false;
    int count = 0;
    if (text->size() > 2 && (text->startsWith(u"0x") || text->startsWith(u"0X")))
        count = text->mid(2).toInt(&ok, 16);
    else
        count = text->toInt(&ok, 10);
    return ok ? count : -1;
}

QString rowOf(const QString &pattern)
{
    const qsizetype dot = pattern.lastIndexOf(u'.');
    return pattern + u'\t' + fileTypeDescription(dot < 0 ? QString() : pattern.mid(dot));
}

} // namespace

QStringList ReadStatFilesFromDisk(const ProfileFile &file, const QString &section)
{
    QString error;
    const std::optional<QHash<QString, QString>> keys = file.readSection(section, &error);
    if (!error.isEmpty())
        showError(QStringLiteral("Unable to read ") + file.path() + QStringLiteral(": ") + error);
    const int count =
        entryCount(keys ? keys->value(QStringLiteral("number")) : std::optional<QString>());
    // The entries File1 to File<count> that exist, in order: a count of two billion costs no
    // more than the lines the file has.
    QList<QPair<int, QString>> entries;
    if (keys) {
        for (auto it = keys->cbegin(); it != keys->cend(); ++it) {
            if (!it.key().startsWith(QStringLiteral("file")))
                continue;
            bool ok = false;
            const int index = it.key().mid(4).toInt(&ok, 10);
            if (ok && index >= 1 && index <= count && it.key().mid(4) == QString::number(index))
                entries.append({index, it.value()});
        }
    }
    std::sort(entries.begin(), entries.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    QStringList rows;
    for (const auto &[index, value] : entries)
        if (!value.isEmpty())
            rows.append(rowOf(value.left(maxValueLength)));
    if (count < 0)
        for (const char *pattern : {"*.doc", "*.exe", "*.dll"})
            rows.append(rowOf(QString::fromLatin1(pattern)));
    return rows;
}

QString WriteStatFilesToDisk(const ProfileFile &file, const QStringList &rows,
                             const QString &section)
{
    // A pattern with a line break cannot stand on a line of the file: it is left out.
    QStringList patterns;
    for (const QString &row : rows) {
        const QString pattern = row.section(u'\t', 0, 0);
        if (!pattern.contains(u'\n') && !pattern.contains(u'\r'))
            patterns.append(pattern);
    }
    QList<QPair<QString, QString>> values{
        {QStringLiteral("Number"), QString::number(patterns.size())}};
    for (qsizetype i = 0; i < patterns.size(); ++i)
        values.append({QStringLiteral("File") + QString::number(i + 1), patterns[i]});
    if (file.writeStrings(section, values))
        return QString();
    return QStringLiteral("Unable to write to ") + file.path();
}

QStringList listRegisteredExtensions()
{
    QStringList names = FileTypeRegistry::current().keyNames();
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    QStringList patterns;
    for (const QString &name : names)
        if (name.startsWith(u'.') && name.size() <= 5)
            patterns.append(u'*' + name);
    return patterns;
}
