#include "collection/RunSettings.h"
#include "drives/DriveSpaceBars.h"
#include "drives/ui/whichdrv.h"
#include "history/HistoryStore.h"
#include "platform/ProfileFile.h"
#include "platform/Shell.h"
#include "platform/SponsorBanner.h"
#include "reports/ui/SpacePage.h"
#include "reports/ui/StatisticsWindow.h"
#include "shell/About.h"
#include "shell/Main.h"
#include "support/FakeVolumes.h"
#include "support/RecordingMessages.h"
#include "support/TestEnvironment.h"
#include "support/TestTree.h"
#include "support/WizardAnswer.h"
#include "widgets/Chart.h"
#include "widgets/EffectLabel.h"
#include "widgets/Picklist.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

constexpr quint64 gib = quint64(1) << 30;

VolumeSpace space(double totalGib, double freeGib)
{
    return VolumeSpace{quint64(totalGib * gib), quint64(freeGib * gib), 4096};
}

QStringList barLabels(const Chart &chart)
{
    QStringList labels;
    for (const ChartPoint &point : chart.seriesAt(0).points)
        labels.append(point.label);
    return labels;
}

} // namespace

class TestProgram : public QObject {
    Q_OBJECT

private:
    RecordingMessages *m_messages = nullptr;
    FakeVolumes *m_volumes = nullptr;
    TestTree *m_trees[3] = {};

private Q_SLOTS:
    void initTestCase() { pinTestEnvironment(); }
    void init()
    {
        m_messages = new RecordingMessages;
        m_volumes = new FakeVolumes;
        const char *names[] = {"c", "d", "e"};
        for (int i = 0; i < 3; ++i) {
            m_trees[i] = new TestTree;
            for (int f = 0; f < 3 - i; ++f)
                m_trees[i]->file(QByteArray(names[i]) + QByteArray::number(f) + ".txt", 100);
        }
        m_volumes->current = u'c';
        SponsorBanner::clearCalls();
    }
    void cleanup()
    {
        delete m_volumes;
        delete m_messages;
        for (TestTree *&tree : m_trees) {
            delete tree;
            tree = nullptr;
        }
    }

    void driveBarsAndTotal_data()
    {
        QTest::addColumn<QList<double>>("drives"); // total, free in GiB per drive
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QList<double>>("used");
        QTest::addColumn<QList<double>>("free");
        QTest::newRow("two drives and their total")
            << QList<double>{10, 4, 2, 0.5} << QStringList{"c", "d", "Total"}
            << QList<double>{6, 1.5, 7.5} << QList<double>{4, 0.5, 4.5};
        QTest::newRow("a single drive")
            << QList<double>{10, 4} << QStringList{"c"} << QList<double>{6} << QList<double>{4};
        QTest::newRow("no drive") << QList<double>{} << QStringList{} << QList<double>{}
                                  << QList<double>{};
        QTest::newRow("last drive holds all the free space")
            << QList<double>{5, 0, 8, 3} << QStringList{"c", "d"} << QList<double>{5, 5}
            << QList<double>{0, 3};
        QTest::newRow("first drive holds it")
            << QList<double>{8, 3, 5, 0} << QStringList{"c", "d", "Total"}
            << QList<double>{5, 5, 10} << QList<double>{3, 0, 3};
    }
    void driveBarsAndTotal()
    {
        QFETCH(QList<double>, drives);
        QFETCH(QStringList, labels);
        QFETCH(QList<double>, used);
        QFETCH(QList<double>, free);
        FakeVolumes volumes;
        QStringList rows;
        for (int i = 0; i < drives.size() / 2; ++i) {
            const QChar letter(u'c' + i);
            volumes.addDrive(letter, dtFixed, QStringLiteral("x"), "/",
                             space(drives[2 * i], drives[2 * i + 1]));
            rows.append(QString(letter) + QStringLiteral(": [x]"));
        }
        rows.append(QStringLiteral("q: not in the table"));
        const DriveSpaceBars bars = measureDriveBars(rows, true);
        QStringList gotLabels;
        QList<double> gotUsed, gotFree;
        for (const DriveBar &bar : bars.bars) {
            gotLabels.append(bar.label);
            gotUsed.append(bar.usedGigabytes);
            gotFree.append(bar.freeGigabytes);
        }
        QCOMPARE(gotLabels, labels);
        QCOMPARE(gotUsed, used);
        QCOMPARE(gotFree, free);
    }

    void percentFreeTexts()
    {
        QCOMPARE(percentFree(45.678, 100), QStringLiteral("45.6"));
        QCOMPARE(percentFree(1, 3), QStringLiteral("33.3"));
        QCOMPARE(percentFree(100, 100), QStringLiteral("100.0"));
        QCOMPARE(percentFree(0, 0), QStringLiteral("0.0"));
    }

    void mainWindowOpensAndCloses()
    {
        m_volumes->addDrive(u'c', dtFixed, QStringLiteral("SYS"), m_trees[0]->root(), space(10, 4));
        m_volumes->addDrive(u'd', dtFixed, QStringLiteral("DATA"), m_trees[1]->root(),
                            space(2, 0.5));
        TfrmMain main;
        TfrmStatistics statistics;
        main.setStatistics(&statistics);
        // Maximised, it restores to the designed size in the middle of the screen.
        QVERIFY(main.windowState() & Qt::WindowMaximized);
        const QRect normal = main.normalGeometry();
        QCOMPARE(normal.size(), QSize(642, 482));
        const QPoint offCentre = normal.center() - main.screen()->availableGeometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 2, qPrintable(QString::number(offCentre.x())));
        main.setWindowState(Qt::WindowNoState);
        main.resize(800, 600);
        main.show();
        // The chart found the statistics window's drive list filled.
        QCOMPARE(barLabels(*main.chartSpaceBar), QStringList({"c", "d", "Total"}));
        // In the bottom right corner, 6 pixels apart, at least as wide as designed and as
        // their bold captions need.
        QCOMPARE(main.btClose->geometry().bottomRight(), QPoint(800 - 6 - 1, 600 - 5 - 1));
        QCOMPARE(main.btReach->geometry().right(), main.btClose->x() - 6 - 1);
        QCOMPARE(main.btStatistic->geometry().right(), main.btReach->x() - 6 - 1);
        for (const auto &[button, designed] :
             {std::pair{main.btStatistic, 176}, std::pair{main.btReach, 76},
              std::pair{main.btClose, 76}}) {
            QVERIFY(button->font().bold() && button->font().pixelSize() == 13);
            QVERIFY(button->width() >= std::max(designed, button->sizeHint().width()));
        }
        QVERIFY(main.lblTitle->isHidden() && main.lblBottom->isHidden());

        View3D &view = main.chartSpaceBar->view;
        QCOMPARE(view.zoom, 20.0);
        QVERIFY(!view.orthogonal && main.Timer2.isActive());
        for (int tick = 0; tick < 40; ++tick)
            main.Timer2Timer();
        QCOMPARE(view.zoom, 100.0);
        QCOMPARE(view.rotation, 360.0);
        main.Timer2Timer();
        QVERIFY(view.orthogonal && !main.Timer2.isActive() && main.Timer1.isActive());
        // Two drive rows: 9 ticks of 4 from 25 to 61, then the tenth ends the deepening.
        for (int tick = 0; tick < 9; ++tick)
            main.Timer1Timer();
        QCOMPARE(view.depth, 61.0);
        main.Timer1Timer();
        QVERIFY(!main.Timer1.isActive());
        QVERIFY(main.lblTitle->isVisible() && main.lblBottom->isVisible());
        // However narrow the window, the buttons leave the web address free.
        for (const int width : {800, 560, 420}) {
            main.resize(width, 400);
            const int textWidth = main.lblBottom->sizeHint().width();
            const QRect address((width - textWidth) / 2, main.lblBottom->y(), textWidth,
                                main.lblBottom->height());
            QVERIFY2(!address.intersects(main.btStatistic->geometry()),
                     qPrintable(QString::number(width)));
        }
        QCOMPARE(main.chartSpaceBar->hint(),
                 QStringLiteral("Double click chart to view animation"));

        // First close request: the closing animation; the program ends only when it asks again.
        QVERIFY(!main.close());
        QVERIFY(main.isVisible() && !main.opening() && main.btClose->isHidden());
        QVERIFY(main.Timer1.isActive());
        // A double click now does not replay the opening.
        QTest::mouseDClick(main.chartSpaceBar, Qt::LeftButton);
        QVERIFY(!main.opening() && !main.Timer2.isActive() && main.Timer1.isActive());
        int ticks = 0;
        while (main.Timer1.isActive() && ticks++ < 100)
            main.Timer1Timer();
        QVERIFY(view.depth <= 15 && !view.orthogonal && main.Timer2.isActive());
        while (main.isVisible() && ticks++ < 200)
            main.Timer2Timer();
        QVERIFY(!main.isVisible());
        QCOMPARE(main.closeRequests(), 2);
        QCOMPARE(SponsorBanner::calls().size(), 2);
        QVERIFY(!SponsorBanner::calls().first().show);
    }

    void deepeningLimits_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<double>("depth");
        QTest::newRow("5 rows") << 5 << 6 << 37.0;
        QTest::newRow("9 rows") << 9 << 0 << 25.0;
        QTest::newRow("13 rows") << 13 << 0 << 25.0;
    }
    void deepeningLimits()
    {
        QFETCH(int, rows);
        QFETCH(int, ticks);
        QFETCH(double, depth);
        for (int i = 0; i < rows; ++i)
            m_volumes->addDrive(QChar(u'c' + i), dtFixed, QStringLiteral("v%1").arg(i), "/",
                                space(1, 1));
        TfrmMain main;
        TfrmStatistics statistics;
        main.setStatistics(&statistics);
        main.show();
        main.chartSpaceBar->view.depth = 25;
        main.Timer1.start();
        for (int tick = 0; tick < ticks; ++tick)
            main.Timer1Timer();
        QCOMPARE(main.chartSpaceBar->view.depth, depth);
        QVERIFY(main.Timer1.isActive());
        main.Timer1Timer();
        QVERIFY(!main.Timer1.isActive());
        QCOMPARE(main.chartSpaceBar->view.depth, depth);
    }

    void completeRunOverThreeDrives()
    {
        for (int i = 0; i < 3; ++i)
            m_volumes->addDrive(QChar(u'c' + i), dtFixed, QStringLiteral("V%1").arg(i),
                                m_trees[i]->root(), space(1, 0.5));
        TfrmStatistics statistics;
        statistics.show();
        QCOMPARE(SponsorBanner::calls().size(), 1);
        QCOMPARE(SponsorBanner::calls().first().arguments,
                 (QList<quintptr>{53, 1, 0, quintptr(statistics.pnlAd->winId()), 1, 1, 470, 65, 1,
                                  0, 1, 1, 0, 0}));
        // Ten tabs of 63 pixels, each caption in full.
        const QTabBar *tabs = statistics.OvcNotebook1->tabBar();
        QFont captions = tabs->font();
        captions.setPixelSize(11);
        for (int i = 0; i < tabs->count(); ++i) {
            QCOMPARE(tabs->tabRect(i).width(), 63);
            QVERIFY(QFontMetrics(captions).horizontalAdvance(tabs->tabText(i)) <= 57);
        }
        // Before a run every page but Space lies under the panel.
        statistics.OvcNotebook1->setCurrentIndex(TfrmStatistics::Sizes);
        QVERIFY(statistics.pnlNotYet->isVisible());
        statistics.OvcNotebook1->setCurrentIndex(TfrmStatistics::Space);
        QVERIFY(!statistics.pnlNotYet->isVisible());

        answerNextWizard(WizardAnswer::EveryDriveAllFiles);
        statistics.btOKClick();
        QCOMPARE(statistics.windowTitle(),
                 QStringLiteral("Statistics completed for drives C: D: E: "));
        QCOMPARE(statistics.statusText(), QStringLiteral("Finished - 6 files processed"));
        QCOMPARE(m_messages->log.size(), 1);
        QVERIFY(m_messages->log.first().startsWith(
            QStringLiteral("Information: Since you selected more than one drive")));
        QVERIFY(!statistics.OvcNotebook1->isTabEnabled(TfrmStatistics::Overhang));
        QCOMPARE(statistics.stats().overhang4K, 0.0);
        statistics.OvcNotebook1->setCurrentIndex(TfrmStatistics::Time);
        QVERIFY(!statistics.pnlNotYet->isVisible());
    }

    void notReadyDriveStaysInTheCaption()
    {
        m_volumes->addDrive(u'c', dtFixed, QStringLiteral("SYS"), m_trees[0]->root(),
                            space(1, 0.5));
        m_volumes->addDrive(u'd', dtRemovable, QString(), m_trees[1]->root(), std::nullopt);
        TfrmStatistics statistics;
        statistics.show();
        answerNextWizard(WizardAnswer::EveryDriveAllFiles);
        statistics.btOKClick();
        QCOMPARE(statistics.windowTitle(), QStringLiteral("Statistics completed for drives C: "));
        QCOMPARE(statistics.stats().filesProcessed, qint64(3));
    }

    void cancelledWizardAndCapacityError()
    {
        m_volumes->addDrive(u'c', dtFixed, QStringLiteral("SYS"), m_trees[0]->root(), std::nullopt);
        TfrmStatistics statistics;
        statistics.show();
        answerNextWizard(WizardAnswer::Cancel);
        statistics.btOKClick();
        QCOMPARE(statistics.windowTitle(), QStringLiteral("File Statistics Not Yet Collected"));
        QVERIFY(m_messages->log.isEmpty());

        answerNextWizard(WizardAnswer::EveryDriveAllFiles);
        statistics.btOKClick();
        QCOMPARE(m_messages->log,
                 QStringList({"beep", "Error: Could not compute the total size of the disk drives "
                                      "selected.  Cannot proceed with statistics."}));
        QVERIFY(!statistics.statsCollected());
    }

    void abortDuringTheSecondOfThreeDrives_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Abort") << false;
        QTest::newRow("Esc") << true;
    }
    void abortDuringTheSecondOfThreeDrives()
    {
        QFETCH(bool, escape);
        for (int i = 0; i < 3; ++i)
            m_volumes->addDrive(QChar(u'c' + i), dtFixed, QStringLiteral("V%1").arg(i),
                                m_trees[i]->root(), space(1, 0.5));
        // Kept in the history, the run is marked aborted.
        RunSettings keep;
        keep.keepHistory = true;
        QCOMPARE(keep.write(ProfileFile(ProfileFile::defaultPath())), QString());
        QFile::remove(HistoryStore::defaultPath());
        TfrmStatistics statistics;
        statistics.show();
        // The walk shows drive d's status while or just after it walks d's two files; the
        // abort then keeps drive e from being walked.
        connect(&statistics, &TfrmStatistics::statusChanged, &statistics, [&](const QString &text) {
            if (text.startsWith(QStringLiteral("Processing drive d:"))) {
                if (escape)
                    QTest::keyClick(&statistics, Qt::Key_Escape);
                else
                    QTest::mouseClick(statistics.btAbort, Qt::LeftButton);
            }
        });
        answerNextWizard(WizardAnswer::EveryDriveAllFiles);
        statistics.btOKClick();
        QVERIFY(statistics.statusText().endsWith(QStringLiteral(" INCOMPLETE ... ABORTED")));
        QCOMPARE(statistics.windowTitle(),
                 QStringLiteral("File Statistics for drive(s) incomplete ... aborted."));
        QVERIFY(statistics.stats().filesProcessed >= 4 && statistics.stats().filesProcessed <= 5);
        QVERIFY(statistics.isVisible());
        const QList<KeptRun> kept = HistoryStore(HistoryStore::defaultPath()).runs();
        QFile::remove(ProfileFile::defaultPath());
        QFile::remove(HistoryStore::defaultPath());
        QCOMPARE(kept.size(), 1);
        QVERIFY(kept[0].aborted && kept[0].status == statistics.statusText());
        QCOMPARE(kept[0].targets.size(), 3);

        // Outside a run, Esc hides the window.
        QTest::keyClick(&statistics, Qt::Key_Escape);
        QVERIFY(!statistics.isVisible());
    }

    void contactDialog()
    {
        struct RecordingShell final : Shell {
            QStringList opened;
            bool answer = true;
            bool openUrl(const QString &address) override
            {
                opened.append(address);
                return answer;
            }
        } shell;
        Shell::install(&shell);
        TfrmAbout about;
        about.show();
        QLabel *link = nullptr;
        for (QLabel *label : about.findChildren<QLabel *>())
            if (label->text() == TfrmMain::webAddress)
                link = label;
        QVERIFY(link);
        QTest::mouseClick(link, Qt::LeftButton);
        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(shell.opened, QStringList(2, TfrmMain::webAddress));
        // Not the right button, nor a press dragged off the link, nor a release alone.
        QTest::mouseClick(link, Qt::RightButton);
        QTest::mousePress(link, Qt::LeftButton);
        QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(-5, -5));
        QTest::mouseRelease(link, Qt::LeftButton);
        QCOMPARE(shell.opened.size(), 2);
        QVERIFY(about.isVisible());
        QTest::keyClick(&about, Qt::Key_Escape);
        QVERIFY(about.isVisible());

        shell.answer = false;
        QTest::mouseClick(about.btHomePage, Qt::LeftButton);
        QCOMPARE(m_messages->log,
                 QStringList({"beep", "Error: Couldn't open web browser for home page."}));
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Accepted));
        Shell::install(nullptr);
    }

    // Closing the program during a walk waits for the walk to unwind.
    void closingDuringAWalk()
    {
        for (int i = 0; i < 3; ++i)
            m_volumes->addDrive(QChar(u'c' + i), dtFixed, QStringLiteral("V%1").arg(i),
                                m_trees[i]->root(), space(1, 0.5));
        TfrmMain main;
        TfrmStatistics statistics;
        main.setStatistics(&statistics);
        main.show();
        statistics.show();
        connect(&statistics, &TfrmStatistics::statusChanged, &statistics, [&](const QString &text) {
            if (text.startsWith(QStringLiteral("Processing drive d:"))) {
                QVERIFY(!main.close()); // the closing animation
                QVERIFY(!main.close()); // the end, once the walk has unwound
                QVERIFY(main.isVisible());
            }
        });
        answerNextWizard(WizardAnswer::EveryDriveAllFiles);
        statistics.btOKClick();
        QVERIFY(statistics.stats().filesProcessed >= 4 && statistics.stats().filesProcessed <= 5);
        QVERIFY(!statistics.collecting());
        QVERIFY(main.close());
    }

    // Exit, then a run started before the closing animation ends: the program ends while the
    // run's start box is open, and no walk follows.
    void exitDuringTheStartOfARun()
    {
        m_volumes->addDrive(u'c', dtFixed, QStringLiteral("V"), m_trees[0]->root(), space(1, 0.5));
        TfrmMain main;
        TfrmStatistics statistics;
        main.setStatistics(&statistics);
        main.show();
        statistics.show();
        QVERIFY(!main.close());
        m_messages->whileInfoShows = [&] { QVERIFY(main.close()); };
        answerNextWizard(WizardAnswer::EveryDriveAllFiles);
        statistics.btOKClick();
        QCOMPARE(statistics.stats().filesProcessed, qint64(0));
        QVERIFY(!statistics.collecting() && !main.isVisible());
        // Nothing starts any more.
        m_messages->log.clear();
        statistics.btOKClick();
        QVERIFY(m_messages->log.isEmpty());
    }

    void spacePage()
    {
        m_volumes->addDrive(u'c', dtFixed, QStringLiteral("SYS"), "/", space(10, 4));
        TfrmStatistics statistics;
        statistics.show();
        SpacePage &page = *statistics.space();
        QCOMPARE(page.lblValues[0]->text(), QStringLiteral("10.00"));
        QCOMPARE(page.lblValues[1]->text(), QStringLiteral("4.00"));
        QCOMPARE(page.lblValues[2]->text(), QStringLiteral("6.00"));
        QCOMPARE(page.lblUnits[1]->text(), QStringLiteral("GB "));
        QCOMPARE(barLabels(*page.chartSpaceBar), QStringList{"c"});
        QCOMPARE(page.lblValues[1]->textColor(), QColor(Qt::black));
        QCOMPARE(page.lblValues[1]->effect(), EffectLabel::Highlight);

        // Unticking every drive hides the totals and the chart.
        page.pckStatDrive->actions().at(1)->trigger(); // "Deselect All"
        QVERIFY(page.chartSpaceBar->isHidden());
        QCOMPARE(page.lblValues[0]->text(), QString());
    }

    void nearlyEmptyDriveShowsRed()
    {
        m_volumes->addDrive(u'c', dtFixed, QStringLiteral("SYS"), "/", space(10, 9.95));
        TfrmStatistics statistics;
        statistics.show();
        QCOMPARE(statistics.space()->lblValues[1]->textColor(), QColor(Qt::red));
    }

    void twelveDrivesGiveElevenPies()
    {
        for (int i = 0; i < 12; ++i)
            m_volumes->addDrive(QChar(u'c' + i), dtFixed,
                                i == 1 ? QStringLiteral("/srv/a mount point with a long path")
                                       : QStringLiteral("v%1").arg(i),
                                "/", space(100, 45.678));
        TfrmStatistics statistics;
        statistics.show();
        SpacePage &page = *statistics.space();
        page.rbPie->click();
        int shown = 0;
        for (Chart *pie : page.pies)
            shown += pie->isVisible() ? 1 : 0;
        QCOMPARE(shown, 11);
        QCOMPARE(page.pies[0]->title, QStringLiteral("C: [V0]  45.6% free"));
        // A long row gives way in its middle; the share free stays whole.
        QVERIFY2(page.pies[1]->title.endsWith(QStringLiteral("  45.6% free")) &&
                     page.pies[1]->title.contains(QChar(0x2026)),
                 qPrintable(page.pies[1]->title));
        QCOMPARE(page.pieTotal->title, QStringLiteral("TOTAL 45.6% free"));
        QCOMPARE(page.pieTotal->seriesAt(0).total(), 11 * 100.0 * gib);
        QVERIFY(statistics.Timer1.isActive());
        // A click on a pie stops them all and shows the scroll bar.
        QTest::mouseClick(page.pieTotal, Qt::LeftButton);
        QVERIFY(!statistics.Timer1.isActive());
        QVERIFY(page.ScrollBar1->isVisible());
        page.ScrollBar1->setValue(180);
        QCOMPARE(page.pies[3]->seriesAt(0).rotation, 180.0);
    }
};

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
