#include "FileTypeRegistry.h"

#include "MimeFileTypeRegistry.h"

namespace {

const FileTypeRegistry *installed = nullptr;

} // namespace

QStringList FileTypeRegistry::typeNames(const QString &extensionKey) const
{
    const QString name = defaultValue(extensionKey);
    return name.isEmpty() ? QStringList() : QStringList{name};
}

QString FileTypeRegistry::typeOfContent(const QString &, const QByteArray &) const
{
    return QString();
}

const FileTypeRegistry &FileTypeRegistry::current()
{
    static const MimeFileTypeRegistry system;
    return installed ? *installed : system;
}

void FileTypeRegistry::install(const FileTypeRegistry *registry)
{
    installed = registry;
}
