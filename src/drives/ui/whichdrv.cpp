#include "whichdrv.h"

#include "collection/RunSettings.h"
#include "collection/SkipPatterns.h"
#include "common/CheckListModel.h"
#include "common/Utility.h"
#include "drives/DriveServices.h"
#include "filetypes/StatFiles.h"
#include "filetypes/ui/statlist.h"
#include "platform/ProfileFile.h"
#include "widgets/EffectLabel.h"
#include "widgets/Picklist.h"
#include "widgets/ScreenCentre.h"

#include <QFontMetrics>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

EffectLabel *heading(const QString &text)
{
    auto *label = new EffectLabel(text);
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(23);
    label->setFont(font);
    label->setTextColor(Qt::blue);
    label->setEffect(EffectLabel::ExtrudedShadow, 4, QColor(128, 128, 0));
    return label;
}

TPickList *typeOrDriveList()
{
    auto *list = new TPickList;
    list->setTabStops(QStringLiteral("12"));
    list->setToolTip(QStringLiteral("Right click to select/deselect all"));
    list->setContextMenuPolicy(Qt::ActionsContextMenu);
    return list;
}

QPushButton *button(const char *text)
{
    auto *b = new QPushButton(QString::fromLatin1(text));
    b->setAutoDefault(false);
    return b;
}

QWidget *page(QLayout *content)
{
    auto *panel = new QWidget;
    panel->setLayout(content);
    panel->setFixedHeight(TfrmWhichDrive::pageHeight);
    panel->setMinimumWidth(TfrmWhichDrive::pageWidth);
    return panel;
}

} // namespace

TfrmWhichDrive::TfrmWhichDrive(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Which drives and file types?"));

    pckDrives = typeOrDriveList();
    btCancel = button("Cancel");
    btNext1 = button("&Next >>");
    btAddFolder = button("Add &folder...");
    btAddFolder->setToolTip(QStringLiteral("Add a folder, walked as if it were a drive"));
    auto *page1 = new QVBoxLayout;
    page1->addWidget(heading(QStringLiteral("Which drives?")));
    page1->addWidget(pckDrives, 1);
    auto *buttons1 = new QHBoxLayout;
    buttons1->addWidget(btAddFolder);
    buttons1->addStretch();
    buttons1->addWidget(btCancel);
    buttons1->addWidget(btNext1);
    page1->addLayout(buttons1);

    rbAllFiles = new QRadioButton(QStringLiteral("&All files"));
    rbSelected = new QRadioButton(QStringLiteral("&Selected file types only"));
    rbExcept = new QRadioButton(QStringLiteral("All files &except selected file types"));
    rbAllFiles->setChecked(true);
    btPrevious2 = button("<< &Previous");
    btNext2 = button("&Next >>");
    auto *page2 = new QVBoxLayout;
    page2->addWidget(heading(QStringLiteral("Which file types?")));
    page2->addSpacing(16);
    for (QRadioButton *radio : {rbAllFiles, rbSelected, rbExcept}) {
        page2->addWidget(radio);
        page2->addSpacing(6);
    }
    page2->addStretch();
    // The description's run, unless the user asks for more.
    cbHiddenFolders = new QCheckBox(QStringLiteral("Enter &hidden folders"));
    cbLongExtensions = new QCheckBox(QStringLiteral("List &long extensions"));
    cbHiddenFolders->setToolTip(
        QStringLiteral("Walk folders whose names begin with a dot; hidden files count either way"));
    cbLongExtensions->setToolTip(
        QStringLiteral("Give extensions of more than four letters rows of their own"));
    cbOnDisk = new QCheckBox(QStringLiteral("Count space on &disk"));
    cbOnDisk->setToolTip(QStringLiteral(
        "Show beside the sizes the space the files take on disk, each file with several names "
        "once"));
    cbKeepHistory = new QCheckBox(QStringLiteral("&Keep the run in history"));
    cbKeepHistory->setToolTip(QStringLiteral(
        "Keep the figures and lists of this run, to open or compare them later (History...)"));
    page2->addWidget(cbHiddenFolders);
    page2->addWidget(cbLongExtensions);
    page2->addWidget(cbOnDisk);
    page2->addWidget(cbKeepHistory);
    edSkipFolders = new QLineEdit;
    edSkipFolders->setPlaceholderText(QStringLiteral("node_modules .cache *.tmp"));
    edSkipFolders->setToolTip(QStringLiteral(
        "Folders with these names are not entered, wherever they are (patterns as * ? [...], "
        "separated by blanks or semicolons); they are counted as skipped"));
    auto *skipLabel = new QLabel(QStringLiteral("Skip f&olders:"));
    skipLabel->setBuddy(edSkipFolders);
    auto *skipRow = new QHBoxLayout;
    skipRow->addWidget(skipLabel);
    skipRow->addWidget(edSkipFolders, 1);
    page2->addLayout(skipRow);
    page2->addSpacing(6);
    auto *buttons2 = new QHBoxLayout;
    buttons2->addStretch();
    buttons2->addWidget(btPrevious2);
    buttons2->addWidget(btNext2);
    page2->addLayout(buttons2);

    lblHeading3 = heading(QString());
    lblCount = new QLabel;
    lblCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    pckTypes = typeOrDriveList();
    btAddDelete = button("&Add/Delete");
    btAddDelete->setToolTip(QStringLiteral("Add, delete file types"));
    btPrevious3 = button("<< &Previous");
    btOK = button("OK");
    auto *page3 = new QVBoxLayout;
    auto *head3 = new QHBoxLayout;
    head3->addWidget(lblHeading3, 1);
    head3->addWidget(lblCount);
    page3->addLayout(head3);
    page3->addWidget(pckTypes, 1);
    auto *buttons3 = new QHBoxLayout;
    buttons3->addWidget(btAddDelete);
    buttons3->addStretch();
    buttons3->addWidget(btPrevious3);
    buttons3->addWidget(btOK);
    page3->addLayout(buttons3);

    m_pages = new QStackedWidget;
    for (QLayout *content : {static_cast<QLayout *>(page1), static_cast<QLayout *>(page2),
                             static_cast<QLayout *>(page3)})
        m_pages->addWidget(page(content));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(m_pages);
    // Wide enough that a window manager's title bar shows the whole title beside its buttons.
    const int titleRoom = QFontMetrics(font()).horizontalAdvance(windowTitle()) + 140;
    setFixedSize(std::max(pageWidth, titleRoom) + 2, pageHeight + 2);
    centreOnScreen(this);

    addSelectMenu(pckDrives, &TfrmWhichDrive::pckDrivesClick);
    addSelectMenu(pckTypes, &TfrmWhichDrive::pckTypesClick);
    connect(pckDrives, &TPickList::OnClick, this, &TfrmWhichDrive::pckDrivesClick);
    connect(pckTypes, &TPickList::OnClick, this, &TfrmWhichDrive::pckTypesClick);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btAddFolder, &QPushButton::clicked, this, &TfrmWhichDrive::btAddFolderClick);
    auto *remove = new QAction(QStringLiteral("&Remove folder"), pckDrives);
    connect(remove, &QAction::triggered, this, &TfrmWhichDrive::removeFolderRow);
    pckDrives->addAction(remove);
    connect(btNext1, &QPushButton::clicked, this, &TfrmWhichDrive::btNext1Click);
    connect(btPrevious2, &QPushButton::clicked, this, [this] { showPage(1); });
    connect(btNext2, &QPushButton::clicked, this, &TfrmWhichDrive::btNext2Click);
    connect(btPrevious3, &QPushButton::clicked, this, [this] { showPage(2); });
    connect(btAddDelete, &QPushButton::clicked, this, &TfrmWhichDrive::btAddDeleteClick);
    connect(btOK, &QPushButton::clicked, this, &TfrmWhichDrive::btOKClick);
}

void TfrmWhichDrive::addSelectMenu(TPickList *list, void (TfrmWhichDrive::*evaluate)())
{
    for (const bool checked : {true, false}) {
        auto *action = new QAction(
            checked ? QStringLiteral("Select All") : QStringLiteral("Deselect All"), list);
        connect(action, &QAction::triggered, this, [this, list, checked, evaluate] {
            list->setAllChecked(checked);
            (this->*evaluate)();
        });
        list->addAction(action);
    }
}

void TfrmWhichDrive::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmWhichDrive::FormShow()
{
    CheckListModel drives;
    fillDriveList(drives, false);
    pckDrives->loadFrom(drives);
    // The folders and options of the last run come back as they were.
    QString error;
    const RunSettings settings = RunSettings::read(ProfileFile(ProfileFile::defaultPath()), &error);
    if (!error.isEmpty())
        showError(error);
    for (const QString &folder : settings.folders)
        addFolderRow(folder, true);
    // The last run's targets are ticked as they were; the current drive only when none of them
    // is known (a first run, or drives since gone).
    if (settings.remembersTargets()) {
        const QStringList rows = pckDrives->Items();
        bool ticked = !settings.folders.isEmpty();
        for (int i = 0; i < rows.size(); ++i)
            if (!isFolderRow(rows[i])) {
                const bool remembered = !rows[i].isEmpty() && settings.drives.contains(rows[i][0]);
                pckDrives->setChecked(i, remembered);
                ticked = ticked || remembered;
            }
        if (!ticked)
            for (int i = 0; i < rows.size(); ++i)
                if (!isFolderRow(rows[i]))
                    pckDrives->setChecked(i, drives.isChecked(i));
    }
    cbHiddenFolders->setChecked(settings.enterHiddenFolders);
    cbLongExtensions->setChecked(settings.listLongExtensions);
    cbOnDisk->setChecked(settings.countOnDisk);
    cbKeepHistory->setChecked(settings.keepHistory);
    edSkipFolders->setText(settings.skipFolders.join(u' '));
    readTypes(typeSection());
    m_allFiles = true;
    btNext1->setEnabled(true);
    showPage(1);
}

int TfrmWhichDrive::currentPage() const
{
    return m_pages->currentIndex() + 1;
}

void TfrmWhichDrive::showPage(int page)
{
    m_pages->setCurrentIndex(page - 1);
    // Each page has its own default button.
    QPushButton *defaults[] = {btNext1, btNext2, btOK};
    for (int i = 0; i < 3; ++i)
        defaults[i]->setDefault(i == page - 1);
}

QString TfrmWhichDrive::typeSection() const
{
    return rbSelected->isChecked() ? QStringLiteral("Include") : QStringLiteral("Exclude");
}

void TfrmWhichDrive::readTypes(const QString &section)
{
    pckTypes->setItems(ReadStatFilesFromDisk(ProfileFile(ProfileFile::defaultPath()), section));
    updateTypeCount();
}

void TfrmWhichDrive::updateTypeCount()
{
    lblCount->setText(QString::number(pckTypes->checkedRows().size()) + u'/' +
                      QString::number(pckTypes->count()));
}

void TfrmWhichDrive::pckDrivesClick()
{
    btNext1->setEnabled(!pckDrives->checkedRows().isEmpty());
}

void TfrmWhichDrive::pckTypesClick()
{
    btOK->setEnabled(!pckDrives->checkedRows().isEmpty() && !pckTypes->checkedRows().isEmpty());
    updateTypeCount();
}

bool TfrmWhichDrive::enterHiddenFolders() const
{
    return cbHiddenFolders->isChecked();
}

QStringList TfrmWhichDrive::skipFolders() const
{
    return SkipPatterns::split(edSkipFolders->text());
}

bool TfrmWhichDrive::keepHistory() const
{
    return cbKeepHistory->isChecked();
}

bool TfrmWhichDrive::countOnDisk() const
{
    return cbOnDisk->isChecked();
}

bool TfrmWhichDrive::listLongExtensions() const
{
    return cbLongExtensions->isChecked();
}

std::function<QString(QWidget *)> TfrmWhichDrive::chooseFolder = [](QWidget *parent) {
    return QFileDialog::getExistingDirectory(parent, QStringLiteral("Add folder"),
                                             QDir::homePath());
};

void TfrmWhichDrive::btAddFolderClick()
{
    const QString folder = chooseFolder ? QDir::cleanPath(chooseFolder(this)) : QString();
    if (folder.isEmpty() || !folder.startsWith(u'/'))
        return;
    addFolderRow(folder, true);
    pckDrivesClick();
}

void TfrmWhichDrive::addFolderRow(const QString &folder, bool checked)
{
    // Folder rows follow the drives, each once; a folder row is its path.
    QStringList rows = pckDrives->Items();
    if (rows.contains(folder))
        return;
    const QStringList ticked = pckDrives->checkedRows();
    rows.append(folder);
    pckDrives->setItems(rows);
    for (int i = 0; i < rows.size(); ++i)
        pckDrives->setChecked(i, ticked.contains(rows[i]) || (checked && rows[i] == folder));
}

void TfrmWhichDrive::removeFolderRow()
{
    const int row = pckDrives->currentRow();
    QStringList rows = pckDrives->Items();
    if (row < 0 || row >= rows.size() || !isFolderRow(rows[row]))
        return;
    const QStringList ticked = pckDrives->checkedRows();
    rows.removeAt(row);
    pckDrives->setItems(rows);
    for (int i = 0; i < rows.size(); ++i)
        pckDrives->setChecked(i, ticked.contains(rows[i]));
    pckDrivesClick();
}

void TfrmWhichDrive::saveRunSettings()
{
    RunSettings settings;
    settings.enterHiddenFolders = enterHiddenFolders();
    settings.listLongExtensions = listLongExtensions();
    settings.countOnDisk = countOnDisk();
    settings.keepHistory = keepHistory();
    settings.skipFolders = skipFolders();
    for (const QString &row : checkedDrives()) {
        if (isFolderRow(row))
            settings.folders.append(row);
        else if (!row.isEmpty())
            settings.drives.append(row[0]);
    }
    const QString error = settings.write(ProfileFile(ProfileFile::defaultPath()));
    if (!error.isEmpty())
        showError(error);
}

void TfrmWhichDrive::btNext1Click()
{
    showPage(2);
}

void TfrmWhichDrive::btNext2Click()
{
    btOK->setEnabled(false);
    if (rbSelected->isChecked()) {
        lblHeading3->setText(QStringLiteral("Selected file types only"));
    } else if (rbExcept->isChecked()) {
        lblHeading3->setText(QStringLiteral("All file types except ..."));
    } else {
        m_allFiles = true;
        m_includeSelected = m_excludeSelected = false;
        saveRunSettings();
        accept();
        return;
    }
    readTypes(typeSection());
    showPage(3);
}

void TfrmWhichDrive::btAddDeleteClick()
{
    {
        TfrmStatList dialog(this);
        dialog.section = typeSection();
        dialog.exec();
    }
    readTypes(typeSection());
    btOK->setEnabled(false);
}

void TfrmWhichDrive::btOKClick()
{
    m_allFiles = rbAllFiles->isChecked();
    m_includeSelected = rbSelected->isChecked();
    m_excludeSelected = rbExcept->isChecked();
    saveRunSettings();
    accept();
}

QStringList TfrmWhichDrive::checkedDrives() const
{
    return pckDrives->checkedRows();
}

QStringList TfrmWhichDrive::checkedTypes() const
{
    return pckTypes->checkedRows();
}
