#include "filetypes/StatFiles.h"
#include "platform/ProfileFile.h"
#include "support/FakeFileTypeRegistry.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QStringList patterns(const QStringList &rows)
{
    QStringList result;
    for (const QString &row : rows)
        result.append(row.section(u'\t', 0, 0));
    return result;
}

} // namespace

class TestStatFiles : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    FakeFileTypeRegistry *m_registry = nullptr;

    QString settingsPath() const { return m_folder.path() + QStringLiteral("/quillset.ini"); }

private Q_SLOTS:
    void initTestCase() { pinTestEnvironment(); }
    void init()
    {
        m_registry = new FakeFileTypeRegistry;
        m_registry->set(QStringLiteral(".doc"), QStringLiteral("Word.Document"));
        m_registry->set(QStringLiteral("Word.Document"), QStringLiteral("Word document"));
        m_registry->set(QStringLiteral(".exe"), QStringLiteral("Application"));
        QFile::remove(settingsPath());
    }
    void cleanup() { delete m_registry; }

    void defaultPathIsTheConfigurationFolder()
    {
        QVERIFY(ProfileFile::defaultPath().endsWith(QStringLiteral("/quillset.ini")));
        QVERIFY(ProfileFile::defaultPath().contains(QStringLiteral(".qttest")));
    }

    void reading_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QStringList>("expected");
        const QStringList defaults{"*.doc", "*.exe", "*.dll"};
        QTest::newRow("no file") << QByteArray() << "Include" << defaults;
        QTest::newRow("no section")
            << QByteArray("[Exclude]\nNumber=1\nFile1=*.bak\n") << "Include" << defaults;
        QTest::newRow("Number=0") << QByteArray("[Include]\nNumber=0\nFile1=*.txt\n") << "Include"
                                  << QStringList();
        QTest::newRow("Number=abc")
            << QByteArray("[Include]\nNumber=abc\nFile1=*.txt\n") << "Include" << defaults;
        QTest::newRow("Number=-2") << QByteArray("[Include]\nNumber=-2\n") << "Include" << defaults;
        QTest::newRow("Number=0x3")
            << QByteArray("[Include]\nNumber=0x3\nFile1=*.a\nFile2=*.b\nFile3=*.c\nFile4=*.d\n")
            << "Include" << QStringList{"*.a", "*.b", "*.c"};
        QTest::newRow("gaps") << QByteArray(
                                     "[Exclude]\nNumber=3\nFile1=*.bak\nFile2=\nFile3=*.tmp\n")
                              << "Exclude" << QStringList{"*.bak", "*.tmp"};
        QTest::newRow("any case, blanks around")
            << QByteArray("[exCLUDE]\n number = 1 \nFILE1= *.bak \n") << "Exclude"
            << QStringList{"*.bak"};
        QTest::newRow("lone asterisk")
            << QByteArray("[Include]\nNumber=1\nFile1=*\n") << "Include" << QStringList{"*"};
        QTest::newRow("sections apart")
            << QByteArray("[Include]\nNumber=0\n[Exclude]\nNumber=1\nFile1=*.o\n") << "Exclude"
            << QStringList{"*.o"};
    }
    void reading()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QString, section);
        QFETCH(QStringList, expected);
        if (!settings.isEmpty())
            writeFile(settingsPath(), settings);
        const QStringList rows = ReadStatFilesFromDisk(ProfileFile(settingsPath()), section);
        QCOMPARE(patterns(rows), expected);
        if (expected.contains(QStringLiteral("*.doc")))
            QCOMPARE(rows.first(), QStringLiteral("*.doc\tWord document"));
        if (expected == QStringList{QStringLiteral("*")})
            QCOMPARE(rows.first(), QStringLiteral("*\t"));
    }

    void readingDoesNotWriteTheDefaults()
    {
        ReadStatFilesFromDisk(ProfileFile(settingsPath()), QStringLiteral("Include"));
        QVERIFY(!QFile::exists(settingsPath()));
    }

    void writingKeepsWhatItDoesNotOwn()
    {
        writeFile(settingsPath(),
                  "; Quillix settings\n"
                  "[Other]\nKey=Value with = sign\n\n"
                  "[exclude]\nnumber=3\nfile1=*.bak\nFile2=\nFile3=*.tmp\n; kept\n\n"
                  "[Include]\nNumber=1\nFile1=*.txt\n");
        const ProfileFile file(settingsPath());
        const QStringList rows = ReadStatFilesFromDisk(file, QStringLiteral("Exclude"));
        QCOMPARE(WriteStatFilesToDisk(file, rows, QStringLiteral("Exclude")), QString());
        QCOMPARE(readFile(settingsPath()),
                 QByteArray("; Quillix settings\n"
                            "[Other]\nKey=Value with = sign\n\n"
                            "[exclude]\nnumber=2\nfile1=*.bak\nFile2=*.tmp\nFile3=*.tmp\n; kept\n\n"
                            "[Include]\nNumber=1\nFile1=*.txt\n"));
        QCOMPARE(patterns(ReadStatFilesFromDisk(file, QStringLiteral("Exclude"))),
                 QStringList({"*.bak", "*.tmp"}));
    }

    void writingANewFile()
    {
        const ProfileFile file(m_folder.path() + QStringLiteral("/new/folder/quillset.ini"));
        QCOMPARE(WriteStatFilesToDisk(file, {"*.doc\tWord document", "*.exe\tApplication", "*.dll"},
                                      QStringLiteral("Include")),
                 QString());
        QCOMPARE(readFile(file.path()),
                 QByteArray("[Include]\nNumber=3\nFile1=*.doc\nFile2=*.exe\nFile3=*.dll\n"));
        QCOMPARE(WriteStatFilesToDisk(file, {}, QStringLiteral("Exclude")), QString());
        QCOMPARE(patterns(ReadStatFilesFromDisk(file, QStringLiteral("Exclude"))), QStringList());
        QCOMPARE(patterns(ReadStatFilesFromDisk(file, QStringLiteral("Include"))).size(), 3);
    }

    // A folder that may not be written: the error names the file, and the file stays whole.
    void readOnlyFolder()
    {
        QTemporaryDir folder;
        ::chmod(folder.path().toLocal8Bit().constData(), 0755);
        const QString path = folder.path() + QStringLiteral("/quillset.ini");
        const QByteArray before("[Include]\nNumber=1\nFile1=*.txt\n");
        writeFile(path, before);
        ::chmod(folder.path().toLocal8Bit().constData(), 0555);
        auto attempt = [&] {
            return WriteStatFilesToDisk(ProfileFile(path), {"*.a", "*.b"},
                                        QStringLiteral("Include"));
        };
        QString message;
        if (::geteuid() != 0) {
            message = attempt();
        } else {
            // Root may write anywhere; the attempt is made as nobody instead.
            const pid_t child = ::fork();
            if (child == 0) {
                if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                    ::_exit(3);
                ::_exit(attempt() == QStringLiteral("Unable to write to ") + path ? 0 : 1);
            }
            int status = 0;
            ::waitpid(child, &status, 0);
            QVERIFY(WIFEXITED(status));
            QCOMPARE(WEXITSTATUS(status), 0);
            message = QStringLiteral("Unable to write to ") + path;
        }
        ::chmod(folder.path().toLocal8Bit().constData(), 0755);
        QCOMPARE(message, QStringLiteral("Unable to write to ") + path);
        QCOMPARE(readFile(path), before);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"quillset.ini"});
    }

    void registeredExtensions()
    {
        m_registry->set(QStringLiteral(".HTML"), QStringLiteral("Page"));
        m_registry->set(QStringLiteral(".Bmp"), QStringLiteral("Picture"));
        m_registry->set(QStringLiteral("txtfile"), QStringLiteral("Text"));
        m_registry->set(QStringLiteral(".*"), QStringLiteral("Anything"));
        m_registry->set(QStringLiteral(".jpeg2"), QStringLiteral("Too long"));
        QCOMPARE(listRegisteredExtensions(),
                 QStringList({"*.*", "*.Bmp", "*.doc", "*.exe", "*.HTML"}));
    }
};

QTEST_GUILESS_MAIN(TestStatFiles)
#include "tst_statfiles.moc"
