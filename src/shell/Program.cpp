#include "HintStyle.h"
#include "Main.h"
#include "platform/LinuxVolumes.h"
#include "reports/ui/StatisticsWindow.h"
#include "widgets/DesktopShell.h"
#include "widgets/WidgetMessages.h"

#include <QApplication>
#include <QIcon>
#include <QToolTip>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillix"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLIX_VERSION));
    QApplication::setStyle(new HintStyle);
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("quillix")));
    QPalette hints = QToolTip::palette();
    hints.setColor(QPalette::ToolTipBase, QColor(0, 255, 255));
    hints.setColor(QPalette::ToolTipText, Qt::black);
    QToolTip::setPalette(hints);

    WidgetMessages messages;
    Messages::install(&messages);
    DesktopShell shell;
    Shell::install(&shell);
    // A hung network mount may hold a window for a tenth of a second, once, and no longer.
    LinuxVolumes::setWaitLimit(100);

    // The main window first, then the statistics window, hidden, whose drive list the main
    // window's chart measures when it is shown.
    TfrmMain main;
    TfrmStatistics statistics;
    main.setStatistics(&statistics);
    main.showMaximized();
    const int status = QApplication::exec();
    Messages::install(nullptr);
    Shell::install(nullptr);
    return status;
}
