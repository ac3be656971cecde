#include "MimeFileTypeRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QSet>
#include <QStandardPaths>

#include <algorithm>

namespace {

bool isPlainExtensionKey(const QString &key)
{
    static const QString wildcards = QStringLiteral("*?[]/");
    if (key.size() < 2 || key[0] != u'.')
        return false;
    for (QChar c : key)
        if (wildcards.contains(c))
            return false;
    return true;
}

// The suffix of a "*.ext" glob as QMimeType::suffixes() gives it (no '*' or '?' after the
// dot), lower case; empty for any other pattern.
QString suffixOfGlob(QStringView pattern)
{
    if (pattern.size() <= 2 || !pattern.startsWith(u"*.") || pattern.indexOf(u'*', 2) >= 0 ||
        pattern.indexOf(u'?', 2) >= 0)
        return QString();
    return pattern.mid(2).toString().toLower();
}

} // namespace

std::optional<QSet<QString>> MimeFileTypeRegistry::globFileSuffixes()
{
    // The database's folders as QMimeDatabase finds them. A folder it reads from the package
    // files (no mime.cache there), or Qt's own copy of the database (which it reads when no
    // folder has freedesktop.org.xml), may hold globs that no globs2 file lists.
    const QStringList folders =
        QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("mime"),
                                  QStandardPaths::LocateDirectory);
    bool freedesktop = false;
    QSet<QString> suffixes;
    for (const QString &folder : folders) {
        const QDir dir(folder);
        freedesktop = freedesktop || dir.exists(QStringLiteral("packages/freedesktop.org.xml"));
        const bool cache = dir.exists(QStringLiteral("mime.cache"));
        if (!cache && !dir.exists(QStringLiteral("packages")))
            continue;
        // Written with mime.cache by update-mime-database; a folder without both is read in a
        // way this list cannot follow. Only a regular file is read, whole up to a bound: a pipe
        // or a device in its place would never end.
        const QString path = dir.filePath(QStringLiteral("globs2"));
        QFile globs(path);
        if (!cache || !QFileInfo(path).isFile() || !globs.open(QIODevice::ReadOnly))
            return std::nullopt;
        const QByteArray text = globs.read(maxGlobFileBytes + 1);
        if (text.size() > maxGlobFileBytes)
            return std::nullopt;
        // "weight:type:pattern[:flags]". A pattern that holds a colon would be cut at it, so
        // the rest of the line is taken as a pattern too: the list may only grow by it.
        const QString lines = QString::fromUtf8(text);
        for (QStringView line : QStringView(lines).tokenize(u'\n')) {
            line = line.trimmed();
            if (line.startsWith(u'#'))
                continue;
            const QList<QStringView> fields = line.split(u':');
            if (fields.size() < 3)
                continue;
            for (const QStringView pattern :
                 {fields[2], line.sliced(fields[2].data() - line.data())})
                if (const QString suffix = suffixOfGlob(pattern); !suffix.isEmpty())
                    suffixes.insert(suffix);
        }
    }
    if (!freedesktop)
        return std::nullopt;
    return suffixes;
}

QStringList MimeFileTypeRegistry::typeNames(const QString &extensionKey) const
{
    if (!isPlainExtensionKey(extensionKey))
        return {};
    {
        const std::lock_guard lock(m_mutex);
        if (const auto found = m_typeNames.constFind(extensionKey); found != m_typeNames.cend())
            return *found;
    }
    const QStringList names = lookUpTypeNames(extensionKey);
    const std::lock_guard lock(m_mutex);
    m_typeNames.insert(extensionKey, names);
    return names;
}

bool MimeFileTypeRegistry::mayOwnSuffix(const QString &suffix) const
{
    const std::lock_guard lock(m_mutex);
    if (!m_globFilesRead) {
        m_globFilesRead = true;
        m_suffixes = globFileSuffixes();
    }
    if (!m_suffixes) {
        // Without the globs2 files the list costs a tenth of a second to make: a run of a few
        // hundred extensions asks the database for each instead.
        if (++m_lookUps <= directLookUps)
            return true;
        m_suffixes.emplace();
        const QMimeDatabase database;
        for (const QMimeType &type : database.allMimeTypes())
            for (const QString &known : type.suffixes())
                m_suffixes->insert(known.toLower());
    }
    return m_suffixes->contains(suffix.toLower());
}

QStringList MimeFileTypeRegistry::lookUpTypeNames(const QString &extensionKey) const
{
    // Asking the database matches every glob pattern it has against the name, a tenth of a
    // millisecond each; a suffix no type owns is known to have none at once.
    if (!mayOwnSuffix(extensionKey.mid(1)))
        return {};
    // The database answers for whole names; only a type that owns the suffix itself counts,
    // not one that merely matches the made-up name. Its globs are case-sensitive where types
    // differ only by case (*.c, *.C); the registry's keys ignore case, so the lower-case form
    // is asked first, and the types of the first form that has any are the answer.
    const QMimeDatabase database;
    for (const QString &asked : {extensionKey.toLower(), extensionKey}) {
        const QString suffix = asked.mid(1);
        QStringList names;
        for (const QMimeType &type : database.mimeTypesForFileName(QStringLiteral("file") + asked))
            if (type.suffixes().contains(suffix, Qt::CaseInsensitive) &&
                !names.contains(type.name()))
                names.append(type.name());
        if (!names.isEmpty())
            return names;
    }
    return {};
}

QString MimeFileTypeRegistry::typeOfContent(const QString &extensionKey,
                                            const QByteArray &head) const
{
    const QMimeDatabase database;
    const QStringList candidates = typeNames(extensionKey);
    auto onlyOne = [&](auto &&fits) {
        const auto count = std::count_if(candidates.begin(), candidates.end(), fits);
        const auto found = std::find_if(candidates.begin(), candidates.end(), fits);
        return count == 1 ? *found : QString();
    };
    // The bytes alone first: a signature names the type, or a type it derives from.
    const QMimeType content = database.mimeTypeForData(head);
    QString type = onlyOne([&](const QString &name) { return content.inherits(name); });
    if (!type.isEmpty())
        return type;
    // Otherwise text or not decides, where one candidate alone is text (or alone is not).
    const bool text = content.inherits(QStringLiteral("text/plain"));
    return onlyOne([&](const QString &name) {
        return database.mimeTypeForName(name).inherits(QStringLiteral("text/plain")) == text;
    });
}

QString MimeFileTypeRegistry::defaultValue(const QString &key) const
{
    const QMimeDatabase database;
    if (isPlainExtensionKey(key)) {
        const QStringList names = typeNames(key);
        return names.isEmpty() ? QString() : names.first();
    }
    if (key.contains(u'/')) {
        {
            const std::lock_guard lock(m_mutex);
            if (const auto found = m_comments.constFind(key); found != m_comments.cend())
                return *found;
        }
        const QMimeType type = database.mimeTypeForName(key);
        const QString comment = type.isValid() ? type.comment() : QString();
        const std::lock_guard lock(m_mutex);
        m_comments.insert(key, comment);
        return comment;
    }
    return QString();
}

QStringList MimeFileTypeRegistry::keyNames() const
{
    QStringList names;
    QSet<QString> seen;
    const QMimeDatabase database;
    for (const QMimeType &type : database.allMimeTypes()) {
        for (const QString &suffix : type.suffixes()) {
            const QString name = u'.' + suffix;
            if (!seen.contains(name.toLower())) {
                seen.insert(name.toLower());
                names.append(name);
            }
        }
    }
    return names;
}
