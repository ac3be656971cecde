#include "RunSettings.h"

#include "SkipPatterns.h"
#include "platform/ProfileFile.h"

namespace {

const QString section = QStringLiteral("Options");

} // namespace

RunSettings RunSettings::read(const ProfileFile &file, QString *error)
{
    RunSettings settings;
    const std::optional<QHash<QString, QString>> keys = file.readSection(section, error);
    if (!keys)
        return settings;
    settings.enterHiddenFolders = keys->value(QStringLiteral("hiddenfolders")) == u"1";
    settings.listLongExtensions = keys->value(QStringLiteral("longextensions")) == u"1";
    settings.keepHistory = keys->value(QStringLiteral("keephistory")) == u"1";
    settings.countOnDisk = keys->value(QStringLiteral("ondisk")) == u"1";
    for (const QChar letter : keys->value(QStringLiteral("drives")).toLower())
        if (letter >= u'c' && letter <= u'z' && !settings.drives.contains(letter))
            settings.drives.append(letter);
    // From a file anyone may have edited: a sane number of patterns of a sane length.
    for (const QString &pattern : SkipPatterns::split(keys->value(QStringLiteral("skipfolders"))))
        if (pattern.size() <= 255 && settings.skipFolders.size() < 100)
            settings.skipFolders.append(pattern);
    const QString metrics = keys->value(QStringLiteral("prometheusfile")).trimmed();
    if (metrics.startsWith(u'/') && metrics.size() <= 1024)
        settings.prometheusFile = metrics;
    const int count = keys->value(QStringLiteral("folders")).toInt();
    for (int i = 1; i <= count && i <= 1000; ++i) {
        const QString folder = keys->value(QStringLiteral("folder") + QString::number(i));
        if (folder.startsWith(u'/') && !settings.folders.contains(folder))
            settings.folders.append(folder);
    }
    return settings;
}

QString RunSettings::write(const ProfileFile &file) const
{
    QList<QPair<QString, QString>> values{
        {QStringLiteral("HiddenFolders"),
         enterHiddenFolders ? QStringLiteral("1") : QStringLiteral("0")},
        {QStringLiteral("LongExtensions"),
         listLongExtensions ? QStringLiteral("1") : QStringLiteral("0")},
        {QStringLiteral("KeepHistory"), keepHistory ? QStringLiteral("1") : QStringLiteral("0")},
        {QStringLiteral("Drives"), drives},
        {QStringLiteral("Folders"), QString::number(folders.size())},
        {QStringLiteral("OnDisk"), countOnDisk ? QStringLiteral("1") : QStringLiteral("0")},
        {QStringLiteral("SkipFolders"), skipFolders.join(u';')}};
    // A line of the file cannot hold a line break: such a folder is not remembered.
    QStringList kept = folders;
    kept.removeIf(
        [](const QString &folder) { return folder.contains(u'\n') || folder.contains(u'\r'); });
    values[4].second = QString::number(kept.size());
    // In quotes, so that blanks at either end of a folder's name come back as they were.
    for (qsizetype i = 0; i < kept.size(); ++i)
        values.append({QStringLiteral("Folder") + QString::number(i + 1), u'"' + kept[i] + u'"'});
    QString error;
    if (file.writeStrings(section, values, &error))
        return QString();
    return QStringLiteral("Unable to write to ") + file.path() + QStringLiteral(": ") + error;
}
