#pragma once

#include <QString>
#include <QStringList>

// The system's register of file types, read only, in the shape of a key/value tree: the value
// behind an extension key (".doc") names a file type ("application/msword"), the value behind
// a file-type name is its description ("Word document"). Anything missing reads as empty.
class FileTypeRegistry {
public:
    virtual ~FileTypeRegistry() = default;
    virtual QString defaultValue(const QString &key) const = 0;
    // The names of the keys directly below the root: extensions (".doc") and type names.
    virtual QStringList keyNames() const = 0;
    // Every file type an extension key may name, where the register knows several (".pm": a
    // Perl module or a PageMaker document); the one of defaultValue otherwise.
    virtual QStringList typeNames(const QString &extensionKey) const;
    // Which of those types a file with the key and these first bytes is; empty when the bytes
    // do not tell.
    virtual QString typeOfContent(const QString &extensionKey, const QByteArray &head) const;

    static const FileTypeRegistry &current();
    // Installs registry (not owned; nullptr restores the system's own).
    static void install(const FileTypeRegistry *registry);
};
