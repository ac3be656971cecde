// Times one whole collection run of the statistics window, offscreen, on the current drive or
// on FOLDER as drive c: the wizard answered with that drive and "All files", every page rebuilt.
//   window_run [FOLDER]     (prints the files processed and the milliseconds)
#include "drives/ui/whichdrv.h"
#include "platform/Messages.h"
#include "platform/Volumes.h"
#include "reports/ui/StatisticsWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <sys/statvfs.h>

namespace {

// Nobody reads the boxes of a benchmark.
class SilentMessages final : public Messages {
public:
    void beep() override {}
    void errorBox(const QString &text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    void infoBox(const QString &) override {}
    bool confirm(const QString &) override { return false; }
};

// The folder as the only drive, c:, so that the window walks it as it walks a drive.
class FolderAsDrive final : public Volumes {
public:
    explicit FolderAsDrive(QByteArray folder) : m_folder(std::move(folder)) {}
    QList<DriveInfo> drives() const override
    {
        return {DriveInfo{u'c', dtFixed, QStringLiteral("bench"), QString(), m_folder,
                          QStringLiteral("ext4")}};
    }
    QChar currentDriveLetter() const override { return u'c'; }
    std::optional<VolumeSpace> space(QChar) const override
    {
        struct statvfs info {};
        if (::statvfs(m_folder.constData(), &info) != 0)
            return std::nullopt;
        return VolumeSpace{quint64(info.f_blocks) * info.f_frsize,
                           quint64(info.f_bfree) * info.f_frsize, quint64(info.f_frsize)};
    }

private:
    QByteArray m_folder;
};

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SilentMessages messages;
    Messages::install(&messages);
    std::optional<FolderAsDrive> folder;
    if (argc > 1) {
        folder.emplace(QByteArray(argv[1]));
        Volumes::install(&*folder);
    }
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
    Volumes::install(nullptr);
    return 0;
}
