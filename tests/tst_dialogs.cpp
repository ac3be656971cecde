#include "drives/ui/whichdrv.h"
#include "filetypes/ui/TTablist.h"
#include "filetypes/ui/selExt.h"
#include "filetypes/ui/statlist.h"
#include "platform/ProfileFile.h"
#include "support/FakeFileTypeRegistry.h"
#include "support/FakeVolumes.h"
#include "support/RecordingMessages.h"
#include "support/TestEnvironment.h"
#include "widgets/EffectLabel.h"
#include "widgets/WidgetMessages.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {

void clickRow(TPickList *list, int row, Qt::KeyboardModifiers modifiers = {})
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                      list->visualItemRect(list->item(row)).center());
}

// Runs answer on the next modal dialog of type T once it is shown.
template <typename T, typename Answer> void whenShown(Answer answer)
{
    QTimer::singleShot(0, [answer] {
        auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        answer(dialog);
    });
}

QByteArray settingsText()
{
    QFile file(ProfileFile::defaultPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeSettings(const QByteArray &text)
{
    QDir().mkpath(QFileInfo(ProfileFile::defaultPath()).absolutePath());
    QFile file(ProfileFile::defaultPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private:
    FakeFileTypeRegistry *m_registry = nullptr;
    RecordingMessages *m_messages = nullptr;

private Q_SLOTS:
    void initTestCase() { pinTestEnvironment(); }

    // The wizard, the File types dialog and the picker open in the middle of the screen, not
    // over the window that opens them.
    void dialogsOpenCentred()
    {
        QWidget owner;
        owner.setGeometry(0, 0, 200, 100);
        owner.show();
        const QPoint middle = QGuiApplication::primaryScreen()->availableGeometry().center();
        TfrmWhichDrive wizard(&owner);
        TfrmStatList types(&owner);
        TfrmSelectExtension picker(&owner);
        for (QDialog *dialog : std::initializer_list<QDialog *>{&wizard, &types, &picker}) {
            dialog->show();
            QVERIFY2((dialog->frameGeometry().center() - middle).manhattanLength() <= 4,
                     dialog->metaObject()->className());
            // A title bar has room for the whole title beside the window manager's buttons.
            QVERIFY2(dialog->width() >=
                         QFontMetrics(dialog->font()).horizontalAdvance(dialog->windowTitle()) + 120,
                     qPrintable(dialog->windowTitle()));
            dialog->hide();
        }
    }

    // The questions discard data: Enter in the box answers No.
    void enterDoesNotConfirm()
    {
        QString defaultButton;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            defaultButton = box->defaultButton()->text();
            QTest::keyClick(box, Qt::Key_Return);
        });
        QVERIFY(!WidgetMessages().confirm(QStringLiteral("Really clear out all extensions?")));
        QCOMPARE(defaultButton, QStringLiteral("&No"));
    }
    void init()
    {
        QFile::remove(ProfileFile::defaultPath());
        m_registry = new FakeFileTypeRegistry;
        for (const char *name : {".doc", ".exe", ".dll", ".txt", ".bmp", ".jpeg", ".html"})
            m_registry->set(QString::fromLatin1(name),
                            QString::fromLatin1(name).mid(1) + QStringLiteral("file"));
        m_registry->set(QStringLiteral("docfile"), QStringLiteral("Word document"));
        m_messages = new RecordingMessages;
    }
    void cleanup()
    {
        delete m_messages;
        delete m_registry;
        QFile::remove(ProfileFile::defaultPath());
    }

    void pickerTypedText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("description");
        QTest::newRow("letters") << "doc"
                                 << "*.doc"
                                 << "Word document";
        QTest::newRow("with dot") << ".doc"
                                  << "*.doc"
                                  << "Word document";
        QTest::newRow("pattern") << "*.doc"
                                 << "*.doc"
                                 << "Word document";
        QTest::newRow("star inside") << "a*b"
                                     << "a*b"
                                     << "";
        QTest::newRow("everything") << "*.*"
                                    << ""
                                    << "";
        QTest::newRow("dot star") << ".*"
                                  << ""
                                  << "";
        QTest::newRow("star") << "*"
                              << ""
                              << "";
        QTest::newRow("empty") << ""
                               << "*."
                               << " File";
        QTest::newRow("long") << "html"
                              << "*.html"
                              << "htmlfile";
        QTest::newRow("unregistered") << "xyz"
                                      << "*.xyz"
                                      << "XYZ File";
    }
    void pickerTypedText()
    {
        QFETCH(QString, typed);
        QFETCH(QString, pattern);
        QFETCH(QString, description);
        TfrmSelectExtension picker;
        picker.show();
        QCOMPARE(picker.edExtension->text(), QStringLiteral("*.bmp"));
        picker.edExtension->setText(typed);
        QTest::mouseClick(picker.findChild<QPushButton *>(QStringLiteral("btOK")), Qt::LeftButton);
        QCOMPARE(picker.result(), int(QDialog::Accepted));
        QVERIFY(!picker.severalRows());
        QCOMPARE(picker.pattern(), pattern);
        QCOMPARE(picker.description(), description);
    }

    void pickerListAndSeveralRows()
    {
        TfrmSelectExtension picker;
        picker.show();
        // The registered extensions of at most four letters, sorted, with descriptions.
        QCOMPARE(picker.lbExtensions->Items(),
                 QStringList({"*.bmp\tbmpfile", "*.dll\tdllfile", "*.doc\tWord document",
                              "*.exe\texefile", "*.html\thtmlfile", "*.jpeg\tjpegfile",
                              "*.txt\ttxtfile"}));
        clickRow(picker.lbExtensions, 1);
        QCOMPARE(picker.edExtension->text(), QStringLiteral("*.dll"));
        clickRow(picker.lbExtensions, 3, Qt::ControlModifier);
        clickRow(picker.lbExtensions, 5, Qt::ControlModifier);
        QTest::mouseClick(picker.findChild<QPushButton *>(QStringLiteral("btOK")), Qt::LeftButton);
        QVERIFY(picker.severalRows());
        QCOMPARE(picker.pattern(), QString());
        QCOMPARE(picker.selectedRows(),
                 QStringList({"*.dll\tdllfile", "*.exe\texefile", "*.jpeg\tjpegfile"}));
    }

    void pickerDoubleClickTakesTheRow()
    {
        TfrmSelectExtension picker;
        picker.show();
        const QPoint row =
            picker.lbExtensions->visualItemRect(picker.lbExtensions->item(6)).center();
        QTest::mouseClick(picker.lbExtensions->viewport(), Qt::LeftButton, {}, row);
        QTest::mouseDClick(picker.lbExtensions->viewport(), Qt::LeftButton, {}, row);
        QCOMPARE(picker.result(), int(QDialog::Accepted));
        QCOMPARE(picker.pattern(), QStringLiteral("*.txt"));
    }

    void fileTypesDialog()
    {
        TfrmStatList dialog;
        dialog.section = QStringLiteral("Include");
        dialog.show();
        QCOMPARE(dialog.lbStatFiles->Items(),
                 QStringList({"*.dll\tdllfile", "*.doc\tWord document", "*.exe\texefile"}));
        QCOMPARE(dialog.lblCount->text(), QStringLiteral("3 available"));

        // "*.DOC" is already there, whatever the case; "txt" is new and sorts into its place.
        for (const char *typed : {"*.DOC", "txt"}) {
            whenShown<TfrmSelectExtension>([typed](TfrmSelectExtension *picker) {
                picker->edExtension->setText(QString::fromLatin1(typed));
                QTest::mouseClick(picker->findChild<QPushButton *>(QStringLiteral("btOK")),
                                  Qt::LeftButton);
            });
            QTest::mouseClick(dialog.btAdd, Qt::LeftButton);
        }
        QCOMPARE(dialog.lbStatFiles->Items(), QStringList({"*.dll\tdllfile", "*.doc\tWord document",
                                                           "*.exe\texefile", "*.txt\ttxtfile"}));
        QCOMPARE(dialog.lblCount->text(), QStringLiteral("4 available"));

        // One row goes without a question; two ask first, and No keeps them.
        clickRow(dialog.lbStatFiles, 0);
        QTest::mouseClick(dialog.btDelete, Qt::LeftButton);
        QCOMPARE(dialog.lbStatFiles->count(), 3);
        QVERIFY(m_messages->log.isEmpty());
        clickRow(dialog.lbStatFiles, 0);
        clickRow(dialog.lbStatFiles, 1, Qt::ControlModifier);
        m_messages->answer = false;
        QTest::mouseClick(dialog.btDelete, Qt::LeftButton);
        QCOMPARE(m_messages->log, QStringList{"Confirm: Really delete 2 extensions?"});
        QCOMPARE(dialog.lbStatFiles->count(), 3);
        m_messages->answer = true;
        QTest::mouseClick(dialog.btDelete, Qt::LeftButton);
        QCOMPARE(dialog.lbStatFiles->Items(), QStringList{"*.txt\ttxtfile"});
        QCOMPARE(dialog.lblCount->text(), QStringLiteral("1 available"));

        QTest::mouseClick(dialog.btClose, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(settingsText(), QByteArray("[Include]\nNumber=1\nFile1=*.txt\n"));
    }

    void clearAllAndEscape()
    {
        writeSettings("[Exclude]\nNumber=2\nFile1=*.bak\nFile2=*.tmp\n");
        TfrmStatList dialog;
        dialog.section = QStringLiteral("Exclude");
        dialog.show();
        QCOMPARE(dialog.lbStatFiles->count(), 2);
        QTest::mouseClick(dialog.btClear, Qt::LeftButton);
        QCOMPARE(m_messages->log, QStringList{"Confirm: Really clear out all extensions?"});
        QCOMPARE(dialog.lblCount->text(), QStringLiteral("0 available"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(settingsText(), QByteArray("[Exclude]\nNumber=0\nFile1=*.bak\nFile2=*.tmp\n"));
    }

    void closeBoxWritesNothing()
    {
        TfrmStatList dialog;
        dialog.section = QStringLiteral("Include");
        dialog.show();
        QTest::mouseClick(dialog.btClear, Qt::LeftButton);
        dialog.close();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!QFile::exists(ProfileFile::defaultPath()));
    }

    void failedWriteClosesWithCancel()
    {
        // A file where the settings folder should be: nothing can be written there.
        const QString folder = QFileInfo(ProfileFile::defaultPath()).absolutePath();
        QDir(folder).removeRecursively();
        QDir().mkpath(QFileInfo(folder).absolutePath());
        {
            QFile blocker(folder);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }
        TfrmStatList dialog;
        dialog.section = QStringLiteral("Include");
        dialog.show();
        QTest::mouseClick(dialog.btClose, Qt::LeftButton);
        QFile::remove(folder);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(m_messages->log,
                 QStringList({"beep", "Error: Unable to write to " + ProfileFile::defaultPath()}));
    }

    void wizard()
    {
        FakeVolumes volumes;
        volumes.addDrive(u'c', dtFixed, QStringLiteral("SYS"), "/", VolumeSpace{100, 50, 4096});
        volumes.addDrive(u'd', dtFixed, QStringLiteral("DATA"), "/d", VolumeSpace{100, 50, 4096});
        volumes.current = u'c';
        TfrmWhichDrive wizard;
        wizard.show();
        QCOMPARE(wizard.currentPage(), 1);
        QCOMPARE(wizard.pckDrives->Items(), QStringList({"c: [sys]", "d: [data]"}));
        QCOMPARE(wizard.checkedDrives(), QStringList{"c: [sys]"});
        QVERIFY(wizard.btNext1->isEnabled());

        clickRow(wizard.pckDrives, 0);
        QVERIFY(!wizard.btNext1->isEnabled());
        wizard.pckDrives->actions().first()->trigger(); // "Select All"
        QVERIFY(wizard.btNext1->isEnabled());
        QCOMPARE(wizard.checkedDrives().size(), 2);

        QTest::mouseClick(wizard.btNext1, Qt::LeftButton);
        QCOMPARE(wizard.currentPage(), 2);
        wizard.rbSelected->setChecked(true);
        QTest::mouseClick(wizard.btNext2, Qt::LeftButton);
        QCOMPARE(wizard.currentPage(), 3);
        QCOMPARE(wizard.lblHeading3->text(), QStringLiteral("Selected file types only"));
        QCOMPARE(wizard.lblCount->text(), QStringLiteral("0/3"));
        QVERIFY(!wizard.btOK->isEnabled());

        clickRow(wizard.pckTypes, 0);
        clickRow(wizard.pckTypes, 2);
        QCOMPARE(wizard.lblCount->text(), QStringLiteral("2/3"));
        QVERIFY(wizard.btOK->isEnabled());

        // The File types dialog in between clears the check marks.
        whenShown<TfrmStatList>([](TfrmStatList *dialog) {
            QCOMPARE(dialog->section, QStringLiteral("Include"));
            dialog->close();
        });
        QTest::mouseClick(wizard.btAddDelete, Qt::LeftButton);
        QCOMPARE(wizard.lblCount->text(), QStringLiteral("0/3"));
        QVERIFY(!wizard.btOK->isEnabled());

        clickRow(wizard.pckTypes, 1);
        QTest::mouseClick(wizard.btOK, Qt::LeftButton);
        QCOMPARE(wizard.result(), int(QDialog::Accepted));
        QVERIFY(!wizard.allFiles() && wizard.includeSelected() && !wizard.excludeSelected());
        QCOMPARE(wizard.checkedTypes(), QStringList{"*.exe\texefile"});
        QCOMPARE(wizard.checkedDrives(), QStringList({"c: [sys]", "d: [data]"}));
    }

    // A folder added as a target and the options of a run come back at the next run, kept in
    // a section of their own; the type lists' sections keep every byte.
    void wizardFolderAndOptionsAreRemembered()
    {
        const QByteArray typeLists =
            "[Include]\r\nNumber=1\r\nFile1=*.exe\r\n\r\n[Exclude]\nNumber=0\n";
        writeSettings(typeLists);
        FakeVolumes volumes;
        volumes.addDrive(u'c', dtFixed, QStringLiteral("SYS"), "/", VolumeSpace{100, 50, 4096});
        volumes.current = u'c';
        const QString folder = QStringLiteral("/srv/photo archive");
        const auto desktopDialog = TfrmWhichDrive::chooseFolder;
        TfrmWhichDrive::chooseFolder = [folder](QWidget *) { return folder; };
        {
            TfrmWhichDrive wizard;
            wizard.show();
            QVERIFY(!wizard.cbHiddenFolders->isChecked() && !wizard.cbLongExtensions->isChecked());
            QTest::mouseClick(wizard.btAddFolder, Qt::LeftButton);
            QCOMPARE(wizard.checkedDrives(), QStringList({"c: [sys]", folder}));
            QTest::mouseClick(wizard.btNext1, Qt::LeftButton);
            wizard.cbHiddenFolders->click();
            QTest::mouseClick(wizard.btNext2, Qt::LeftButton);
            QCOMPARE(wizard.result(), int(QDialog::Accepted));
            QVERIFY(wizard.enterHiddenFolders() && !wizard.listLongExtensions());
        }
        const QByteArray saved = settingsText();
        QVERIFY2(saved.startsWith(typeLists), saved);
        QVERIFY2(saved.contains("[Options]") && saved.contains("HiddenFolders=1") &&
                     saved.contains("LongExtensions=0") &&
                     saved.contains("Folder1=\"" + folder.toUtf8() + "\""),
                 saved);

        TfrmWhichDrive again;
        again.show();
        QCOMPARE(again.checkedDrives(), QStringList({"c: [sys]", folder}));
        QVERIFY(again.cbHiddenFolders->isChecked());
        // The last run's targets come back as they were ticked: the folder alone, without the
        // current drive that holds it.
        {
            TfrmWhichDrive folderOnly;
            folderOnly.show();
            clickRow(folderOnly.pckDrives, 0);
            QTest::mouseClick(folderOnly.btNext1, Qt::LeftButton);
            QTest::mouseClick(folderOnly.btNext2, Qt::LeftButton);
            QCOMPARE(folderOnly.checkedDrives(), QStringList{folder});
        }
        {
            TfrmWhichDrive remembered;
            remembered.show();
            QCOMPARE(remembered.checkedDrives(), QStringList{folder});
        }
        // The folder row can be taken out again; a drive row cannot.
        again.pckDrives->setCurrentRow(0);
        again.pckDrives->actions().last()->trigger(); // "Remove folder"
        again.pckDrives->setCurrentRow(1);
        again.pckDrives->actions().last()->trigger();
        QCOMPARE(again.pckDrives->Items(), QStringList{"c: [sys]"});
        TfrmWhichDrive::chooseFolder = desktopDialog;
    }

    void wizardAllFilesEndsOnPageTwo()
    {
        FakeVolumes volumes;
        volumes.addDrive(u'c', dtFixed, QStringLiteral("SYS"), "/", VolumeSpace{100, 50, 4096});
        volumes.current = u'c';
        TfrmWhichDrive wizard;
        wizard.show();
        QTest::mouseClick(wizard.btNext1, Qt::LeftButton);
        QTest::mouseClick(wizard.btNext2, Qt::LeftButton);
        QCOMPARE(wizard.result(), int(QDialog::Accepted));
        QVERIFY(wizard.allFiles());
        QCOMPARE(wizard.checkedTypes(), QStringList());

        TfrmWhichDrive except;
        except.show();
        QTest::mouseClick(except.btNext1, Qt::LeftButton);
        except.rbExcept->setChecked(true);
        QTest::mouseClick(except.btNext2, Qt::LeftButton);
        QCOMPARE(except.lblHeading3->text(), QStringLiteral("All file types except ..."));
        QTest::mouseClick(except.btPrevious3, Qt::LeftButton);
        QCOMPARE(except.currentPage(), 2);
        except.close();
        QCOMPARE(except.result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
