// A kept run's archive, as the history gives it back: damaged, cut short or made up.
#include "collection/FileLists.h"
#include "collection/RunArchive.h"
#include "collection/StatAccumulators.h"
#include "collection/UnreadableFolders.h"
#include "reports/FileListPages.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    StatAccumulators stats;
    FileLists lists;
    UnreadableFolders unreadable;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // Read as it is, and as the zlib block it may pretend to be.
    for (const QByteArray &archive : {bytes, qCompress(bytes, 1)}) {
        if (!RunArchive::read(archive, stats, lists, unreadable))
            continue;
        // What the pages do with a run that was read.
        for (const ListedRow &row : FileListPages::rowsOf(stats))
            for (const KeptFile &file : lists.files(row.row))
                (void)lists.path(file);
        (void)unreadable.folders();
    }
    return 0;
}
