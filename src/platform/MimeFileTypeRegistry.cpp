#include "MimeFileTypeRegistry.h"

#include <QMimeDatabase>
#include <QSet>

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

QString MimeFileTypeRegistry::defaultValue(const QString &key) const
{
    const QMimeDatabase database;
    if (isPlainExtensionKey(key)) {
        // The database answers for whole names; only a type that owns the suffix itself counts,
        // not one that merely matches the made-up name.
        // The database's globs are case-sensitive where types differ only by case (*.c, *.C);
        // the registry's keys ignore case, so the lower-case form is asked first.
        for (const QString &asked : {key.toLower(), key}) {
            const QString suffix = asked.mid(1);
            const QList<QMimeType> candidates =
                database.mimeTypesForFileName(QStringLiteral("file") + asked);
            for (const QMimeType &type : candidates)
                if (type.suffixes().contains(suffix, Qt::CaseInsensitive))
                    return type.name();
        }
        return QString();
    }
    if (key.contains(u'/')) {
        const QMimeType type = database.mimeTypeForName(key);
        if (type.isValid())
            return type.comment();
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
