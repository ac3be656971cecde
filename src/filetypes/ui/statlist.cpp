#include "statlist.h"

#include "common/Utility.h"
#include "filetypes/StatFiles.h"
#include "platform/Messages.h"
#include "platform/ProfileFile.h"
#include "selExt.h"
#include "widgets/EffectLabel.h"
#include "widgets/Picklist.h"
#include "widgets/ScreenCentre.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

TfrmStatList::TfrmStatList(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("File types"));
    auto *layout = new QGridLayout(this);

    lblHeading = new EffectLabel(QStringLiteral("File Types"));
    QFont heading(QStringLiteral("Times New Roman"));
    heading.setPixelSize(26);
    heading.setBold(true);
    lblHeading->setFont(heading);
    lblHeading->setTextColor(QColor(0, 0, 128));
    lblHeading->setEffect(EffectLabel::GraduatedShadow, 4, Qt::gray);
    lblCount = new QLabel;
    lblCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout->addWidget(lblHeading, 0, 0);
    layout->addWidget(lblCount, 0, 1);

    lbStatFiles = new TPickList;
    lbStatFiles->setSelectedStyle(psStandard);
    lbStatFiles->setExtendedSelect(true);
    lbStatFiles->setSorted(true);
    lbStatFiles->setItemHeight(15);
    lbStatFiles->setTabStops(QStringLiteral("16"));
    lbStatFiles->setToolTip(QStringLiteral("List of temporary file extensions and types"));
    layout->addWidget(lbStatFiles, 1, 0, 5, 1);

    auto button = [&](const char *text, const char *hint, int row) {
        auto *b = new QPushButton(QString::fromLatin1(text));
        b->setToolTip(QString::fromLatin1(hint));
        b->setAutoDefault(false);
        layout->addWidget(b, row, 1);
        return b;
    };
    btAdd = button("&Add", "Add a file extension to this list", 1);
    btDelete = button("&Delete", "Delete a file extension", 2);
    btClear = button("&Clear all", "Clear all extensions", 3);
    layout->setRowStretch(4, 1);
    btClose = button("Close", "Close window", 5);
    auto *note = new QLabel(
        QStringLiteral("Hint: Drag mouse or use ctrl-click to select multiple file types."));
    note->setWordWrap(true);
    layout->addWidget(note, 6, 0, 1, 2);
    layout->setColumnStretch(0, 1);

    connect(btAdd, &QPushButton::clicked, this, &TfrmStatList::btAddClick);
    connect(btDelete, &QPushButton::clicked, this, &TfrmStatList::btDeleteClick);
    connect(btClear, &QPushButton::clicked, this, &TfrmStatList::btClearClick);
    connect(btClose, &QPushButton::clicked, this, &TfrmStatList::btCloseClick);
    setFixedSize(430, 340);
    centreOnScreen(this);
}

void TfrmStatList::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmStatList::keyPressEvent(QKeyEvent *event)
{
    // Esc is "Close": the list is written.
    if (event->key() == Qt::Key_Escape) {
        btCloseClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmStatList::FormShow()
{
    lbStatFiles->setItems(ReadStatFilesFromDisk(ProfileFile(ProfileFile::defaultPath()), section));
    updateCount();
}

void TfrmStatList::updateCount()
{
    lblCount->setText(QString::number(lbStatFiles->count()) + QStringLiteral(" available"));
}

void TfrmStatList::addUnlessPresent(const QString &row)
{
    for (const QString &present : lbStatFiles->Items())
        if (present.compare(row, Qt::CaseInsensitive) == 0)
            return;
    lbStatFiles->addRow(row);
}

void TfrmStatList::btAddClick()
{
    TfrmSelectExtension picker(this);
    if (picker.exec() == QDialog::Accepted) {
        if (picker.severalRows()) {
            for (const QString &row : picker.selectedRows())
                addUnlessPresent(row);
        } else if (!picker.pattern().isEmpty() && picker.pattern() != u"*.*") {
            addUnlessPresent(picker.pattern() + u'\t' + picker.description());
        }
    }
    updateCount();
}

void TfrmStatList::btDeleteClick()
{
    const QStringList selected = lbStatFiles->checkedRows();
    if (selected.size() > 1 && !Messages::current().confirm(QStringLiteral("Really delete ") +
                                                            QString::number(selected.size()) +
                                                            QStringLiteral(" extensions?")))
        return;
    for (int row = lbStatFiles->count() - 1; row >= 0; --row)
        if (lbStatFiles->Checked(row))
            delete lbStatFiles->takeItem(row);
    updateCount();
}

void TfrmStatList::btClearClick()
{
    if (!Messages::current().confirm(QStringLiteral("Really clear out all extensions?")))
        return;
    lbStatFiles->clear();
    updateCount();
}

void TfrmStatList::btCloseClick()
{
    const QString error = WriteStatFilesToDisk(ProfileFile(ProfileFile::defaultPath()),
                                               lbStatFiles->Items(), section);
    if (!error.isEmpty()) {
        showError(error);
        reject();
        return;
    }
    accept();
}
