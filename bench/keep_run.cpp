// Times keeping one run in the history database: the run's pages, archive and one SQLite
// transaction, as the statistics window keeps a run when it ends. Either a walk of FOLDER (the
// window's lists of 100 files per row, every core) or a made-up run of N extensions, each with
// a full list of 100 files in folders of their own.
//   keep_run FOLDER | --extensions N      (prints files, archive bytes, median ms, bytes per run)
#include "collection/CollectionRun.h"
#include "collection/FileLists.h"
#include "collection/StatAccumulators.h"
#include "history/HistoryStore.h"
#include "platform/DirEntry.h"
#include "reports/RunPages.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// N extensions of 100 files each, spread over the size bands, ages and hours.
void makeRun(StatAccumulators &stats, FileLists &lists, int extensions)
{
    const quint32 root = lists.folders().add(FolderRecords::noParent, "/srv/bench");
    for (int e = 0; e < extensions; ++e) {
        const QByteArray ext = "x" + QByteArray::number(e, 36);
        const quint32 folder = lists.folders().add(root, "folder-" + ext);
        for (int f = 0; f < 100; ++f) {
            DirEntry entry;
            entry.name = "file-" + QByteArray::number(f) + '.' + ext;
            entry.size = qint64(1) << (f % 30);
            entry.attributes = faArchive;
            entry.modified = entry.created = entry.accessed =
                LocalFileTime::fromPacked(PackedFileDate((45 + f % 20) << 25 | (1 + f % 12) << 21 |
                                                         (1 + f % 28) << 16 | (f % 24) << 11));
            FileRows rows;
            if (stats.crunchNumbers(QString(), entry, &rows))
                lists.offer(rows, entry, folder);
            ++stats.filesProcessed;
        }
    }
    lists.addTarget(QStringLiteral("/srv/bench"), root);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: keep_run FOLDER | --extensions N\n");
        return 2;
    }
    StatAccumulators stats;
    FileLists lists;
    CollectionRun run(stats, lists);
    run.setListLimit(100);
    const bool madeUp = QByteArray(argv[1]) == "--extensions";
    run.prepare(CollectionOptions(),
                {RunTarget::fromFolder(madeUp ? QByteArray("/srv/bench") : QByteArray(argv[1]))});
    if (madeUp) {
        stats.clearVariables();
        lists.setLimit(100);
        makeRun(stats, lists, argc > 2 ? std::atoi(argv[2]) : 2000);
    } else {
        run.walk();
    }

    // The window keeps a run after its pages are built, which asked the file type register
    // for every extension already; so is it here, and the keeping alone is timed.
    RunPages::tables(stats, lists, run.targets(), 4096, QString());

    QTemporaryDir place;
    const QString path = place.filePath(QStringLiteral("history.sqlite"));
    std::vector<qint64> times;
    qint64 archive = 0;
    constexpr int runs = 5;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        HistoryStore store(path);
        const KeptRun kept = KeptRun::record(run);
        if (!store.save(kept)) {
            std::fprintf(stderr, "%s\n", qPrintable(store.error()));
            return 1;
        }
        times.push_back(clock.elapsed());
        archive = kept.archive.size();
    }
    std::sort(times.begin(), times.end());
    // The size the database reaches with every run folded into the file.
    {
        HistoryStore store(path);
        store.runs();
    }
    const qint64 bytes = QFileInfo(path).size() + QFileInfo(path + QStringLiteral("-wal")).size();
    std::printf("%lld files, %d extensions, archive %lld bytes, keep median %lld ms, %lld bytes "
                "per run\n",
                static_cast<long long>(stats.filesProcessed), stats.lbTypes.rowCount(),
                static_cast<long long>(archive), static_cast<long long>(times[runs / 2]),
                static_cast<long long>(bytes / runs));
    return 0;
}
