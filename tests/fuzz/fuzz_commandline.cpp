// quillix-report's command line: the arguments, separated by NUL bytes. Walks stop at once (the
// interrupt is raised), so what is fuzzed is reading the command line, resolving targets and
// writing every kind of output, into /dev/null.
#include "SilentMessages.h"
#include "cli/ReportCommand.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "quillix-report";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *application = [] {
        // A home of the fuzzer's own: the history it may make is thrown away.
        static QTemporaryDir home;
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
        return new QCoreApplication(argc, argv);
    }();
    (void)application;
    static SilentMessages silent;
    Messages::install(&silent);
    static FILE *sink = std::fopen("/dev/null", "w");
    QStringList arguments{QStringLiteral("quillix-report")};
    for (const QByteArray &argument :
         QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)).split('\0')) {
        // What writes outside the fuzzer's home or reaches other programs (a metrics file or a
        // history anywhere, a database server, systemctl) is left out: their reading is tested.
        if (argument.startsWith("--prometheus") || argument.startsWith("--history-db") ||
            (argument.startsWith("--schedule") && argument != "--scheduled"))
            return 0;
        arguments.append(QString::fromLocal8Bit(argument));
    }
    ReportCommand::interrupted = true;
    ReportCommand(sink, sink).run(arguments);
    return 0;
}
