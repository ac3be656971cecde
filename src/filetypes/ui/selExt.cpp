#include "selExt.h"

#include "TTablist.h"
#include "filetypes/StatFiles.h"
#include "filetypes/TypeRow.h"
#include "widgets/ScreenCentre.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TfrmSelectExtension::TfrmSelectExtension(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Select a file extension"));
    auto *layout = new QVBoxLayout(this);
    auto *instruction = new QLabel(
        QStringLiteral("Type in a new file extension or select one or many from the list below:"));
    instruction->setWordWrap(true);
    layout->addWidget(instruction);
    edExtension = new QLineEdit;
    edExtension->setMaxLength(6);
    edExtension->setFixedWidth(90);
    layout->addWidget(edExtension);
    lbExtensions = new TTablist;
    lbExtensions->setToolTip(
        QStringLiteral("Double click to select, Ctrl-click to select more than one"));
    lbExtensions->setTabStops(QStringLiteral("10"));
    layout->addWidget(lbExtensions, 1);
    auto *note = new QLabel(
        QStringLiteral("Hint: Drag mouse or use ctrl-click to select multiple file extensions."));
    note->setWordWrap(true);
    layout->addWidget(note);
    auto *buttons = new QDialogButtonBox;
    QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    ok->setObjectName(QStringLiteral("btOK"));
    layout->addWidget(buttons);
    connect(ok, &QPushButton::clicked, this, &TfrmSelectExtension::btOKClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(lbExtensions, &TPickList::OnClick, this, &TfrmSelectExtension::lbExtensionsClick);
    connect(lbExtensions, &QListWidget::itemDoubleClicked, this,
            &TfrmSelectExtension::lbExtensionsDblClick);
    setFixedSize(440, 420);
    centreOnScreen(this);
}

void TfrmSelectExtension::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmSelectExtension::FormShow()
{
    const QStringList patterns = listRegisteredExtensions();
    QStringList rows;
    for (const QString &pattern : patterns)
        if (pattern != u"*.*")
            rows.append(pattern + u'\t' + fileTypeDescription(pattern.mid(1)));
    lbExtensions->setItems(rows);
    edExtension->setText(patterns.value(0));
    edExtension->setFocus();
}

QStringList TfrmSelectExtension::selectedRows() const
{
    QStringList rows;
    for (int row = 0; row < lbExtensions->count(); ++row)
        if (lbExtensions->Checked(row))
            rows.append(lbExtensions->itemText(row));
    return rows;
}

void TfrmSelectExtension::lbExtensionsClick()
{
    const int row = lbExtensions->currentRow();
    if (row >= 0)
        edExtension->setText(lbExtensions->itemText(row).section(u'\t', 0, 0));
}

QString TfrmSelectExtension::patternOf(const QString &typed)
{
    if (typed.startsWith(u"*."))
        return typed;
    if (!typed.contains(u'*') && !typed.contains(u'.'))
        return QStringLiteral("*.") + typed;
    if (!typed.contains(u'*'))
        return u'*' + typed;
    return typed;
}

bool TfrmSelectExtension::confirmChoice()
{
    if (selectedRows().size() >= 2) {
        m_severalRows = true;
        return false;
    }
    m_severalRows = false;
    m_pattern.clear();
    m_description.clear();
    const QString typed = edExtension->text();
    if (typed == u"*.*" || typed == u".*" || typed == u"*")
        return false;
    m_pattern = patternOf(typed);
    const qsizetype dot = m_pattern.lastIndexOf(u'.');
    m_description = fileTypeDescription(dot < 0 ? QString() : m_pattern.mid(dot));
    return true;
}

void TfrmSelectExtension::btOKClick()
{
    confirmChoice();
    accept();
}

void TfrmSelectExtension::lbExtensionsDblClick()
{
    lbExtensionsClick();
    if (confirmChoice())
        accept();
}
