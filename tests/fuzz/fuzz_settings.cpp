// The settings file as people keep it, or as anything else left it: read, then saved.
#include "SilentMessages.h"
#include "collection/RunSettings.h"
#include "filetypes/StatFiles.h"
#include "platform/ProfileFile.h"

#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static SilentMessages silent;
    Messages::install(&silent);
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("quillset.ini"));
    if (FILE *file = std::fopen(QFile::encodeName(path).constData(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    const ProfileFile settings(path);
    const RunSettings options = RunSettings::read(settings);
    const QStringList included = ReadStatFilesFromDisk(settings, QStringLiteral("Include"));
    (void)ReadStatFilesFromDisk(settings, QStringLiteral("Exclude"));
    // A save must keep what it read, whatever the file held.
    (void)options.write(settings);
    (void)WriteStatFilesToDisk(settings, included, QStringLiteral("Include"));
    return 0;
}
