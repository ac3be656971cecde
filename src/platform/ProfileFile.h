#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <optional>

// A settings file of [Section] and Key=Value lines, read and written as the classic profile
// functions do: section and key names compare without case, values are raw text (trimmed of
// blanks at both ends, no quoting), and every other section, key and comment line survives a
// write. A write replaces the whole file at once (a temporary file renamed over it), so a
// crash or a full disk never leaves it half written.
class ProfileFile {
public:
    explicit ProfileFile(QString path);

    // The settings file of the program: quillset.ini in the user's configuration folder.
    static QString defaultPath();

    QString path() const { return m_path; }

    // The value of key in section, or nothing when the file, the section or the key is missing.
    std::optional<QString> readString(const QString &section, const QString &key) const;

    // Sets the keys of section to the values given, in one replacement of the file; keys of the
    // section that are not given keep their lines. False when the file could not be written;
    // it is then unchanged.
    bool writeStrings(const QString &section, const QList<QPair<QString, QString>> &values) const;

private:
    QStringList readLines() const;

    QString m_path;
};
