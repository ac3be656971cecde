// Times the History window over a history of many hosts: fills LOCATION (a file or a
// postgresql:// address, made empty by the caller) with RUNS kept runs of HOSTS hosts, each
// with the pages of a run of 200 extensions, then opens the window (offscreen) and lists them
// again, five times.
//   history_hosts LOCATION [RUNS] [HOSTS]   (prints runs kept, median ms to list in the window)
#include "history/HistoryStore.h"
#include "history/ui/HistoryWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTableWidget>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: history_hosts LOCATION [RUNS] [HOSTS]\n");
        return 2;
    }
    const QString location = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 2 ? std::atoi(argv[2]) : 1000;
    const int hosts = argc > 3 ? std::atoi(argv[3]) : 50;

    KeptRun run;
    run.targets = {QStringLiteral("c: [sys]"), QStringLiteral("/srv/data")};
    run.mode = QStringLiteral("all");
    run.filesProcessed = run.filesFound = 250000;
    run.bytesFound = 40'000'000'000;
    run.status = QStringLiteral("Finished - 250,000 files processed 250,000 files found");
    run.user = QStringLiteral("ops");
    TextTable types;
    types.title = QStringLiteral("Types");
    types.headings = {QStringLiteral("Type"), QStringLiteral("Description"),
                      QStringLiteral("Size"), QStringLiteral("# Files")};
    for (int e = 0; e < 200; ++e)
        types.rows.append({QStringLiteral(".x%1").arg(e), QStringLiteral("Type %1").arg(e),
                           QString::number(e * 1000), QString::number(e)});
    run.tables = {types};

    QElapsedTimer filling;
    filling.start();
    HistoryStore store(location);
    int kept = 0;
    for (int i = 0; i < runs; ++i) {
        run.host = QStringLiteral("host%1").arg(i % hosts, 2, 10, QLatin1Char('0'));
        run.started = QDateTime::currentDateTime().addSecs(-60 * i);
        if (store.save(run))
            ++kept;
        else
            std::fprintf(stderr, "%s\n", qPrintable(store.error()));
    }
    const qint64 fillMs = filling.elapsed();
    // Kept whole: a run read back has every row of its page.
    const std::optional<KeptRun> back = store.run(store.runs().value(0).id);
    if (!back || back->tables.value(0).rows != types.rows) {
        std::fprintf(stderr, "a kept run does not read back as it was kept\n");
        return 1;
    }

    std::vector<qint64> times;
    HistoryWindow *window = nullptr;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!window)
            window = new HistoryWindow(location);
        else
            window->refresh();
        times.push_back(timer.elapsed());
    }
    std::sort(times.begin(), times.end());
    std::printf("%d of %d runs kept (%lld ms), %d rows listed, %lld ms median to list "
                "(open %lld ms)\n",
                kept, runs, fillMs, window->runList->rowCount(), times[2], times.front());
    delete window;
    return kept == runs ? 0 : 1;
}
