// Times one whole collection run of the statistics window, offscreen, on the current drive:
// the wizard answered with the current drive and "All files", every page rebuilt.
//   window_run     (prints the files processed and the milliseconds)
#include "collection/Statistics.h"
#include "drives/whichdrv.h"
#include "platform/Messages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

namespace {

// Nobody reads the boxes of a benchmark.
class SilentMessages final : public Messages {
public:
    void beep() override {}
    void errorBox(const QString &text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    void infoBox(const QString &) override {}
    bool confirm(const QString &) override { return false; }
};

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SilentMessages messages;
    Messages::install(&messages);
    TfrmStatistics statistics;
    statistics.show();
    QTimer::singleShot(0, [] {
        auto *wizard = qobject_cast<TfrmWhichDrive *>(QApplication::activeModalWidget());
        if (!wizard)
            return;
        wizard->btNext1->click();
        wizard->btNext2->click();
    });
    QElapsedTimer clock;
    clock.start();
    statistics.btOKClick();
    std::printf("%lld files, %lld ms\n", static_cast<long long>(statistics.stats().filesProcessed),
                static_cast<long long>(clock.elapsed()));
    Messages::install(nullptr);
    return 0;
}
