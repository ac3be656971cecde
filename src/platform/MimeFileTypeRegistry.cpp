#include "MimeFileTypeRegistry.h"

#include <QMimeDatabase>
#include <QSet>

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

} // namespace

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

bool MimeFileTypeRegistry::isKnownSuffix(const QString &suffix) const
{
    const std::lock_guard lock(m_mutex);
    if (m_suffixes.isEmpty()) {
        const QMimeDatabase database;
        for (const QMimeType &type : database.allMimeTypes())
            for (const QString &known : type.suffixes())
                m_suffixes.insert(known.toLower());
    }
    return m_suffixes.contains(suffix.toLower());
}

QStringList MimeFileTypeRegistry::lookUpTypeNames(const QString &extensionKey) const
{
    // Asking the database matches every glob pattern it has against the name. A run of a few
    // hundred extensions asks it; beyond that, a suffix no type owns is known to have none at
    // once (from a list of every suffix, which takes a tenth of a second to make), however many
    // distinct ones a run meets.
    if (m_lookUps.fetch_add(1, std::memory_order_relaxed) >= directLookUps &&
        !isKnownSuffix(extensionKey.mid(1)))
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
