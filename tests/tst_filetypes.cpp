#include "filetypes/TypeFilter.h"
#include "filetypes/TypeRow.h"
#include "platform/MimeFileTypeRegistry.h"
#include "support/FakeFileTypeRegistry.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QTest>

#include <sys/stat.h>

class TestFileTypes : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { pinTestEnvironment(); }

    void extractExtension_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("key");
        QTest::newRow("pattern") << "*.doc\tWord document"
                                 << ".doc";
        QTest::newRow("upper case") << "*.DOC\tWord document"
                                    << ".doc";
        QTest::newRow("only ASCII lowered")
            << QStringLiteral("*.\u00C9T\t") << QStringLiteral(".\u00C9t");
        QTest::newRow("no tab") << "*.doc"
                                << "";
        QTest::newRow("lone asterisk") << "*\tall"
                                       << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void extractExtension()
    {
        QFETCH(QString, row);
        QFETCH(QString, key);
        QCOMPARE(::extractExtension(row), key);
    }

    void fileNameExtension_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("extension");
        QTest::newRow("upper case kept") << QByteArray("report.DOC") << QByteArray(".DOC");
        QTest::newRow("last dot") << QByteArray("archive.tar.gz") << QByteArray(".gz");
        QTest::newRow("trailing dot") << QByteArray("name.") << QByteArray(".");
        QTest::newRow("no dot") << QByteArray("README") << QByteArray();
        QTest::newRow("dot file") << QByteArray(".bashrc") << QByteArray(".bashrc");
        QTest::newRow("colon is a plain character here")
            << QByteArray("a.b:c") << QByteArray(".b:c");
    }
    void fileNameExtension()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, extension);
        QCOMPARE(::fileNameExtension(name).toByteArray(), extension);
    }

    void isThisSelected_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("counted");
        const QStringList docAndTxt{"*.doc\tWord document", "*.txt\tText"};
        const QStringList star{"*\tNo extension"};
        struct Case {
            const char *name;
            bool included;
        };
        const Case cases[] = {{"LETTER.DOC", true}, {"notes.txt", true}, {"notes.txt.bak", false},
                              {"x.docx", false},    {"README", false},   {"page.do", false}};
        for (const Case &c : cases) {
            QTest::addRow("include %s", c.name)
                << "include" << docAndTxt << QByteArray(c.name) << c.included;
            QTest::addRow("exclude %s", c.name)
                << "exclude" << docAndTxt << QByteArray(c.name) << !c.included;
            QTest::addRow("all %s", c.name) << "all" << docAndTxt << QByteArray(c.name) << true;
        }
        QTest::newRow("include nothing chosen")
            << "include" << QStringList() << QByteArray("a.doc") << false;
        QTest::newRow("exclude nothing chosen")
            << "exclude" << QStringList() << QByteArray("a.doc") << true;
        QTest::newRow("star counts names without dot")
            << "include" << star << QByteArray("README") << true;
        QTest::newRow("star ignores names with dot")
            << "include" << star << QByteArray("a.txt") << false;
        QTest::newRow("no wildcard match")
            << "include" << QStringList{"*.htm\tPage"} << QByteArray("page.html") << false;
        QTest::newRow("row without tab matches plain names")
            << "include" << QStringList{"*.doc"} << QByteArray("README") << true;
        // Case folding at both ends of the alphabet, and the characters just beyond them.
        const QStringList edges{"*.az\tEdges", "*.[@\tBeyond"};
        for (const auto &[name, counted] : std::initializer_list<std::pair<const char *, bool>>{
                 {"x.AZ", true}, {"x.aZ", true}, {"x.[@", true}, {"x.{`", false}})
            QTest::addRow("case at the edges %s", name)
                << "include" << edges << QByteArray(name) << counted;
        QTest::newRow("non-ASCII case is exact")
            << "include" << QStringList{QStringLiteral("*.\u00E9\tx")} << QByteArray(".\xC3\x89")
            << false;
        QTest::newRow("non-ASCII extension")
            << "include" << QStringList{QStringLiteral("*.\u00E9\tx")} << QByteArray("a.\xC3\xA9")
            << true;
    }
    void isThisSelected()
    {
        QFETCH(QString, mode);
        QFETCH(QStringList, rows);
        QFETCH(QByteArray, name);
        QFETCH(bool, counted);
        const TypeFilter filter(mode == u"all", mode == u"include", mode == u"exclude", rows);
        QCOMPARE(filter.isThisSelected(name), counted);
    }

    void descriptionsFromTheRegistry_data()
    {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("description");
        QTest::newRow("registered with description") << ".doc"
                                                     << "Word document";
        QTest::newRow("any case") << ".DOC"
                                  << "Word document";
        QTest::newRow("type without description") << ".xyw"
                                                  << "XyWrite.Document";
        QTest::newRow("unregistered") << ".xyz"
                                      << "XYZ File";
        QTest::newRow("unregistered mixed case") << ".Xyz"
                                                 << "XYZ File";
        QTest::newRow("no extension") << "*."
                                      << "No extension";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("lone dot") << "."
                                  << " File";
        QTest::newRow("pattern is not described") << "*.xyz"
                                                  << "";
    }
    void descriptionsFromTheRegistry()
    {
        QFETCH(QString, extension);
        QFETCH(QString, description);
        FakeFileTypeRegistry registry;
        registry.set(QStringLiteral(".doc"), QStringLiteral("Word.Document.8"));
        registry.set(QStringLiteral("Word.Document.8"), QStringLiteral("Word document"));
        registry.set(QStringLiteral(".xyw"), QStringLiteral("XyWrite.Document"));
        QCOMPARE(fileTypeDescription(extension), description);
    }

    // The shared MIME database stands in for the registry on Linux.
    void mimeDatabaseAsRegistry_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("extension names its type") << ".txt"
                                                  << "text/plain";
        QTest::newRow("upper-case extension") << ".TXT"
                                              << "text/plain";
        // The database tells *.c from *.C; the listing's keys are upper case.
        QTest::newRow("upper-case C is C") << ".C"
                                           << "text/x-csrc";
        QTest::newRow("upper-case H is a C header") << ".H"
                                                    << "text/x-chdr";
        QTest::newRow("type has its comment") << "text/plain"
                                              << "plain text document";
        QTest::newRow("unknown extension") << ".qqqzz"
                                           << "";
        QTest::newRow("unknown type") << "quillix/none"
                                      << "";
        QTest::newRow("empty key") << ""
                                   << "";
        QTest::newRow("wildcard is no key") << ".t*"
                                            << "";
    }
    void mimeDatabaseAsRegistry()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        const MimeFileTypeRegistry registry;
        QCOMPARE(registry.defaultValue(key), value);
    }

    // The quick list of suffixes may only be larger than the database's own: a suffix it missed
    // would have no type however the database names it.
    void globFilesListEverySuffix()
    {
        const std::optional<QSet<QString>> quick = MimeFileTypeRegistry::globFileSuffixes();
        QVERIFY(quick);
        const QMimeDatabase database;
        for (const QMimeType &type : database.allMimeTypes())
            for (const QString &suffix : type.suffixes())
                QVERIFY2(quick->contains(suffix.toLower()), qPrintable(suffix));
    }

    // The user's own folder of the database may hold anything: lines that are no globs are
    // passed over, and a globs2 that is no file (a pipe) gives no list rather than a wait.
    void globFilesOfTheUsersOwnFolder()
    {
        const QString folder =
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/mime";
        QVERIFY(QDir().mkpath(folder));
        QFile cache(folder + QStringLiteral("/mime.cache"));
        QVERIFY(cache.open(QIODevice::WriteOnly));
        QFile globs(folder + QStringLiteral("/globs2"));
        QVERIFY(globs.open(QIODevice::WriteOnly));
        globs.write("\xff\xfe:\x01\n50\n:::\n50:text/x-test:*.QQTEST:cs\n");
        globs.close();
        const std::optional<QSet<QString>> read = MimeFileTypeRegistry::globFileSuffixes();
        QFile::remove(globs.fileName());
        const bool piped = ::mkfifo(QFile::encodeName(globs.fileName()).constData(), 0600) == 0;
        const std::optional<QSet<QString>> fromPipe = MimeFileTypeRegistry::globFileSuffixes();
        QDir(folder).removeRecursively();
        QVERIFY(read && read->contains(QStringLiteral("qqtest")) &&
                read->contains(QStringLiteral("txt")));
        QVERIFY(piped);
        QVERIFY(!fromPipe);
    }

    void systemDescriptions()
    {
        QCOMPARE(fileTypeDescription(QStringLiteral(".txt")),
                 QStringLiteral("plain text document"));
        QCOMPARE(fileTypeDescription(QStringLiteral(".qqqzz")), QStringLiteral("QQQZZ File"));
    }
};

QTEST_GUILESS_MAIN(TestFileTypes)
#include "tst_filetypes.moc"
