// Times the extension table with N distinct extensions (default 2,000,000), as a run with "List
// long extensions" over a folder of such files counts them: one file each, then the rows sorted
// for the Types page. Prints the milliseconds and the peak memory.
//   extension_table [N]
#include "collection/StatAccumulators.h"
#include "platform/DirEntry.h"

#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

int main(int argc, char *argv[])
{
    const long count = argc > 1 ? std::atol(argv[1]) : 2'000'000;
    CollectionOptions options;
    options.listLongExtensions = true;
    StatAccumulators stats;
    stats.setOptions(options);
    stats.clearVariables();
    QElapsedTimer clock;
    clock.start();
    DirEntry entry;
    entry.attributes = faArchive;
    for (long i = 0; i < count; ++i) {
        entry.name = "file.x" + QByteArray::number(qlonglong(i), 36);
        entry.size = i % 100000;
        stats.crunchNumbers(QString(), entry);
    }
    const qint64 counted = clock.elapsed();
    const int rows = stats.lbTypes.rowCount();
    const QByteArray first = stats.lbTypes.rows().front().key;
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("%d distinct extensions: counted in %lld ms, sorted by %lld ms, first %s, peak "
                "%ld MB\n",
                rows, static_cast<long long>(counted), static_cast<long long>(clock.elapsed()),
                first.constData(), usage.ru_maxrss / 1024);
    return 0;
}
