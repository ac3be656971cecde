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

    static const FileTypeRegistry &current();
    // Installs registry (not owned; nullptr restores the system's own).
    static void install(const FileTypeRegistry *registry);
};
