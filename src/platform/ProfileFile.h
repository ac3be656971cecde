#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

// A settings file of [Section] and Key=Value lines, read and written as the classic profile
// functions do: section and key names compare without case, values are raw text (trimmed of
// blanks at both ends, the double quotes around one dropped), a byte-order mark before the
// first line is passed over. A write changes only the lines of the keys it sets (and adds the
// missing ones); every other byte of the file, whatever its encoding, stays as it was, and a
// value with a line break is refused. A settings file that is a symbolic link stays one: the
// file it leads to is replaced. Copies left by a save that was killed are removed by the next.
// A write runs under a lock file beside the settings file, reading, changing and replacing it
// as one step, so two processes never lose each other's saves. The replacement is a temporary
// file written, flushed to disk and checked before it is renamed over the old one, so a full
// disk or a crash never leaves the file half written. A file that exists but cannot be read,
// or is larger than any settings file should be, is never overwritten.
class ProfileFile {
public:
    explicit ProfileFile(QString path);

    // The settings file of the program: quillset.ini in the user's configuration folder.
    static QString defaultPath();
    // A larger file is refused, so that a stray file cannot fill the memory.
    static constexpr qint64 maxFileSize = 16 * 1024 * 1024;

    QString path() const { return m_path; }

    // The keys of section, folded to lower case, with their values (the first line of a key
    // counts); nothing when the file or the section is missing. When the file exists but
    // cannot be read, nothing, and error (if given) says why.
    std::optional<QHash<QString, QString>> readSection(const QString &section,
                                                       QString *error = nullptr) const;
    // The value of key in section, or nothing when the file, the section or the key is missing.
    std::optional<QString> readString(const QString &section, const QString &key) const;

    // Sets the keys of section to the values given, in one replacement of the file; keys of the
    // section that are not given keep their lines. False when the file could not be read or
    // written; it is then unchanged, and error (if given) says why.
    bool writeStrings(const QString &section, const QList<QPair<QString, QString>> &values,
                      QString *error = nullptr) const;

private:
    enum class Load { Missing, Read, Failed };
    Load load(QByteArray &data, QString &error) const;
    bool replace(const QByteArray &data, QString &error) const;
    // The file a save replaces: the settings file, or the file its link leads to.
    QByteArray targetPath() const;
    void removeAbandonedCopies() const;

    QString m_path;
};
