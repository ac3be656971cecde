#include "collection/RunSettings.h"
#include "filetypes/StatFiles.h"
#include "platform/ProfileFile.h"
#include "support/FakeFileTypeRegistry.h"
#include "support/PrivateMounts.h"
#include "support/RecordingMessages.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sched.h>
#include <sys/mount.h>
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
        QTest::newRow("Number=2000000000 reads the entries there are")
            << QByteArray("[Include]\nNumber=2000000000\nFile1=*.a\nFile3=*.c\nFile03=*.x\n")
            << "Include" << QStringList{"*.a", "*.c"};
        QTest::newRow("sections apart")
            << QByteArray("[Include]\nNumber=0\n[Exclude]\nNumber=1\nFile1=*.o\n") << "Exclude"
            << QStringList{"*.o"};
        QTest::newRow("byte-order mark")
            << QByteArray("\xEF\xBB\xBF[Include]\r\nNumber=1\r\nFile1=*.a\r\n") << "Include"
            << QStringList{"*.a"};
        QTest::newRow("values in quotes")
            << QByteArray("[Include]\nNumber=\"2\"\nFile1=\"*.a\"\nFile2=\"*.b\n") << "Include"
            << QStringList{"*.a", "\"*.b"};
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

    // Whatever the file holds besides the keys written stays byte for byte: other encodings,
    // line ends, binary data, a missing final line end.
    void writingKeepsEveryOtherByte_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("Latin-1, CRLF")
            << QByteArray("[Other]\r\nName=M\xFCller\r\n\r\n[Include]\r\nNumber=1\r\n"
                          "File1=*.txt\r\n; \xE9t\xE9\r\n")
            << QByteArray("[Other]\r\nName=M\xFCller\r\n\r\n[Include]\r\nNumber=2\r\n"
                          "File1=*.a\r\n; \xE9t\xE9\r\nFile2=*.b\r\n");
        QByteArray binary(65536, 0);
        for (qsizetype i = 0; i < binary.size(); ++i)
            binary[i] = char((i * 7919 + i / 251) & 0xFF);
        QTest::newRow("binary") << binary
                                << binary + "\n[Include]\nNumber=2\nFile1=*.a\nFile2=*.b\n";
        QTest::newRow("no final line end")
            << QByteArray("[Include]\nNumber=1\nFile1=*.txt")
            << QByteArray("[Include]\nNumber=2\nFile1=*.a\nFile2=*.b\n");
        QTest::newRow("byte-order mark")
            << QByteArray("\xEF\xBB\xBF[Include]\nNumber=1\nFile1=*.txt\n")
            << QByteArray("\xEF\xBB\xBF[Include]\nNumber=2\nFile1=*.a\nFile2=*.b\n");
    }
    void writingKeepsEveryOtherByte()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        writeFile(settingsPath(), before);
        // A pattern with a line break is left out: it could not stand on a line of its own.
        QCOMPARE(WriteStatFilesToDisk(ProfileFile(settingsPath()), {"*.a", "*.x\nFile9=*.y", "*.b"},
                                      QStringLiteral("Include")),
                 QString());
        QCOMPARE(readFile(settingsPath()), after);
    }

    // Settings kept as people keep them: a link to a file elsewhere stays a link, the file it
    // leads to is replaced; copies a killed save left behind are cleared away; a folder whose
    // name begins or ends with a blank is remembered as it is.
    void linkedSettingsAndAbandonedCopies()
    {
        QTemporaryDir elsewhere;
        const QString target = elsewhere.filePath(QStringLiteral("dotfiles.ini"));
        writeFile(target, "[Include]\nNumber=0\n");
        QFile::remove(settingsPath());
        QVERIFY(QFile::link(target, settingsPath()));
        writeFile(elsewhere.filePath(QStringLiteral("dotfiles.ini.Ab12Cd")), "half a save");
        const ProfileFile file(settingsPath());
        QCOMPARE(WriteStatFilesToDisk(file, {"*.a"}, QStringLiteral("Include")), QString());
        QVERIFY(QFileInfo(settingsPath()).isSymLink());
        QCOMPARE(readFile(target), QByteArray("[Include]\nNumber=1\nFile1=*.a\n"));
        QVERIFY(!QFile::exists(elsewhere.filePath(QStringLiteral("dotfiles.ini.Ab12Cd"))));

        RunSettings settings;
        settings.folders = {QStringLiteral("/srv/x "), QStringLiteral("/srv/\"quoted\"")};
        QCOMPARE(settings.write(file), QString());
        QCOMPARE(RunSettings::read(file).folders, settings.folders);
        QFile::remove(settingsPath());
    }

    // A file that cannot be read, here one too large to be a settings file, is reported and
    // never overwritten.
    void unreadableFileIsNeverOverwritten()
    {
        RecordingMessages messages;
        writeFile(settingsPath(), "[Include]\nNumber=1\nFile1=*.txt\n");
        QVERIFY(::truncate(QFile::encodeName(settingsPath()).constData(), 20 << 20) == 0);
        const ProfileFile file(settingsPath());
        QCOMPARE(patterns(ReadStatFilesFromDisk(file, QStringLiteral("Exclude"))),
                 QStringList({"*.doc", "*.exe", "*.dll"}));
        QCOMPARE(messages.log, QStringList({"beep", "Error: Unable to read " + settingsPath() +
                                                        ": larger than 16 MB"}));
        QCOMPARE(WriteStatFilesToDisk(file, {"*.a"}, QStringLiteral("Exclude")),
                 "Unable to write to " + settingsPath());
        QCOMPARE(QFileInfo(settingsPath()).size(), qint64(20 << 20));
        QVERIFY(readFile(settingsPath()).startsWith("[Include]\nNumber=1\nFile1=*.txt\n"));
    }

    // Two processes saving in turn, each its own keys: with the lock, not one save is lost.
    void concurrentSavesLoseNothing()
    {
        const int saves = 60;
        pid_t children[2];
        for (int c = 0; c < 2; ++c) {
            children[c] = ::fork();
            if (children[c] == 0) {
                const ProfileFile file(settingsPath());
                const QString section = c ? QStringLiteral("B") : QStringLiteral("A");
                for (int i = 0; i < saves; ++i)
                    if (!file.writeStrings(section, {{"Key" + QString::number(i), "x"}}))
                        ::_exit(1);
                ::_exit(0);
            }
        }
        for (pid_t child : children) {
            int status = 0;
            QCOMPARE(::waitpid(child, &status, 0), child);
            QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        const ProfileFile file(settingsPath());
        for (const char *section : {"A", "B"})
            QCOMPARE(file.readSection(QLatin1String(section))->size(), saves);
    }

    // A disk that fills during the save, or was full before it: the old file stays byte for
    // byte, and no temporary file is left.
    void fullDiskKeepsTheOldFile_data()
    {
        QTest::addColumn<bool>("fullBefore");
        QTest::newRow("fills during the save") << false;
        QTest::newRow("full before") << true;
    }
    void fullDiskKeepsTheOldFile()
    {
        QFETCH(bool, fullBefore);
        if (::geteuid() != 0)
            QSKIP("needs root for a small file system in a private mount namespace");
        QTemporaryDir disk;
        const QString path = disk.path() + QStringLiteral("/quillset.ini");
        QByteArray before("[Other]\n");
        for (int i = 0; i < 400; ++i)
            before += "Key" + QByteArray::number(i) + "=some value\n";
        const int result = inPrivateMountNamespace([&] {
            const QByteArray folder = QFile::encodeName(disk.path());
            if (::mount("quillix", folder.constData(), "tmpfs", 0, "size=16k") != 0)
                return mountsUnavailable;
            writeFile(path, before);
            if (fullBefore) {
                QFile filler(disk.path() + QStringLiteral("/filler"));
                if (!filler.open(QIODevice::WriteOnly))
                    return 3;
                while (filler.write(QByteArray(1024, 'x')) > 0 && filler.flush()) {
                }
            }
            QStringList rows;
            for (int i = 0; i < 300; ++i)
                rows.append("*.e" + QString::number(i));
            const bool refused =
                WriteStatFilesToDisk(ProfileFile(path), rows, QStringLiteral("Include")) ==
                "Unable to write to " + path;
            QDir(disk.path()).remove(QStringLiteral("filler"));
            const bool kept = readFile(path) == before &&
                              QDir(disk.path()).entryList(QDir::Files | QDir::Hidden) ==
                                  QStringList{"quillset.ini"};
            return refused && kept ? 0 : 1;
        });
        if (result == mountsUnavailable)
            QSKIP("mount namespaces are not available here");
        QCOMPARE(result, 0);
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
