#include "ReportCommand.h"

#include <QCoreApplication>

#include <csignal>

namespace {

void interrupt(int)
{
    ReportCommand::interrupted = true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillix-report"));
    QCoreApplication::setOrganizationName(QStringLiteral("Quillix"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLIX_VERSION));

    struct sigaction action {};
    action.sa_handler = interrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);

    ReportCommand command(stdout, stderr);
    return command.run(QCoreApplication::arguments());
}
