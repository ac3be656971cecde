#include "ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// The section named by a "[Name]" line, or nothing for any other line.
std::optional<QString> sectionOf(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = trimmed.indexOf(u']');
    return close < 0 ? trimmed.mid(1).trimmed() : trimmed.mid(1, close - 1).trimmed();
}

// The key of a "Key=Value" line, or nothing for comments and other lines.
std::optional<QString> keyOf(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(u';'))
        return std::nullopt;
    const qsizetype equals = trimmed.indexOf(u'=');
    if (equals <= 0)
        return std::nullopt;
    return trimmed.left(equals).trimmed();
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

ProfileFile::ProfileFile(QString path) : m_path(std::move(path)) {}

QString ProfileFile::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
           QStringLiteral("/quillset.ini");
}

QStringList ProfileFile::readLines() const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (QString &line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

std::optional<QString> ProfileFile::readString(const QString &section, const QString &key) const
{
    bool inSection = false;
    for (const QString &line : readLines()) {
        if (const auto name = sectionOf(line)) {
            inSection = sameName(*name, section);
            continue;
        }
        if (!inSection)
            continue;
        if (const auto lineKey = keyOf(line); lineKey && sameName(*lineKey, key))
            return line.mid(line.indexOf(u'=') + 1).trimmed();
    }
    return std::nullopt;
}

bool ProfileFile::writeStrings(const QString &section,
                               const QList<QPair<QString, QString>> &values) const
{
    QStringList lines = readLines();
    QList<bool> written(values.size(), false);

    // Replace the first line of each key in the first matching section; remember where the
    // section ends, to append the keys it does not have yet.
    qsizetype sectionEnd = -1;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionOf(lines[i])) {
            if (inSection)
                break;
            inSection = sameName(*name, section);
            if (inSection)
                sectionEnd = i + 1;
            continue;
        }
        if (!inSection)
            continue;
        if (!lines[i].trimmed().isEmpty())
            sectionEnd = i + 1;
        const auto key = keyOf(lines[i]);
        if (!key)
            continue;
        for (qsizetype v = 0; v < values.size(); ++v) {
            if (!written[v] && sameName(*key, values[v].first)) {
                lines[i] = *key + u'=' + values[v].second;
                written[v] = true;
                break;
            }
        }
    }
    QStringList missing;
    for (qsizetype v = 0; v < values.size(); ++v)
        if (!written[v])
            missing.append(values[v].first + u'=' + values[v].second);
    if (sectionEnd < 0) {
        lines.append(u'[' + section + u']');
        lines += missing;
    } else {
        for (qsizetype k = 0; k < missing.size(); ++k)
            lines.insert(sectionEnd + k, missing[k]);
    }

    if (!QDir().mkpath(QFileInfo(m_path).absolutePath()))
        return false;
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray text = (lines.join(u'\n') + u'\n').toUtf8();
    if (file.write(text) != text.size())
        return false;
    return file.commit();
}
