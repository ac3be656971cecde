#include "FileTypeRegistry.h"

#include "MimeFileTypeRegistry.h"

namespace {

const FileTypeRegistry *installed = nullptr;

} // namespace

const FileTypeRegistry &FileTypeRegistry::current()
{
    static const MimeFileTypeRegistry system;
    return installed ? *installed : system;
}

void FileTypeRegistry::install(const FileTypeRegistry *registry)
{
    installed = registry;
}
