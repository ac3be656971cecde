#pragma once

#include "FileTypeRegistry.h"

#include <QHash>
#include <QSet>

#include <mutex>
#include <optional>

// The registry on Linux: the shared MIME database. Extension keys are the suffixes of the
// database's "*.ext" globs, file-type names are MIME type names, descriptions their comments.
class MimeFileTypeRegistry final : public FileTypeRegistry {
public:
    QString defaultValue(const QString &key) const override;
    // Every suffix of every MIME type's "*.ext" globs, once each without regard to case.
    QStringList keyNames() const override;
    // The types whose globs claim the suffix itself, lower case asked first.
    QStringList typeNames(const QString &extensionKey) const override;
    QString typeOfContent(const QString &extensionKey, const QByteArray &head) const override;

    // Every suffix of a "*.ext" glob in the database's globs2 files, lower case; none where the
    // database is read from somewhere those files may not cover (no compiled cache in one of
    // its folders, or Qt's own copy of the database).
    static std::optional<QSet<QString>> globFileSuffixes();

private:
    QStringList lookUpTypeNames(const QString &extensionKey) const;
    // Some type of the database may own the suffix (without its dot), in any case; false only
    // where none does.
    bool mayOwnSuffix(const QString &suffix) const;

    // Answers already given: a run of thousands of extensions asks for each several times
    // (listing, pies, kept run), and the database's glob search is slow. The database is read
    // once per program anyway, so the answers hold for its life.
    mutable std::mutex m_mutex;
    mutable QHash<QString, QStringList> m_typeNames;
    mutable QHash<QString, QString> m_comments;
    mutable std::optional<QSet<QString>> m_suffixes; // every suffix the database knows
    mutable bool m_globFilesRead = false;
    static constexpr int directLookUps = 512;
    mutable int m_lookUps = 0;
    static constexpr qint64 maxGlobFileBytes = 16 << 20;
};
