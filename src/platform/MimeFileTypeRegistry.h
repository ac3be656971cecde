#pragma once

#include "FileTypeRegistry.h"

#include <QHash>
#include <QSet>

#include <atomic>
#include <mutex>

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

private:
    QStringList lookUpTypeNames(const QString &extensionKey) const;
    // Some type of the database owns the suffix (without its dot), in any case.
    bool isKnownSuffix(const QString &suffix) const;

    // Answers already given: a run of thousands of extensions asks for each several times
    // (listing, pies, kept run), and the database's glob search is slow. The database is read
    // once per program anyway, so the answers hold for its life.
    mutable std::mutex m_mutex;
    mutable QHash<QString, QStringList> m_typeNames;
    mutable QHash<QString, QString> m_comments;
    mutable QSet<QString> m_suffixes; // every suffix the database knows, lower case
    static constexpr int directLookUps = 512;
    mutable std::atomic<int> m_lookUps{0};
};
