#include "ReportCommand.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <cstdlib>

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
    const int status = command.run(QCoreApplication::arguments());
    // Everything is written and every file closed. What the run holds, a name for each file
    // and folder it kept, goes back to the system with the process in one piece, which is
    // quicker than freeing it name by name after a run of a large tree.
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}
