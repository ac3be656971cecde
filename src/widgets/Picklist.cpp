#include "Picklist.h"

#include "PickListDelegate.h"
#include "common/CheckListModel.h"

#include <QKeyEvent>

#include <algorithm>
#include <iterator>

TPickList::TPickList(QWidget *parent) : QListWidget(parent)
{
    setItemDelegate(new PickListDelegate(this));
    setUniformItemSizes(true);
    applySelectionMode();
    connect(this, &QListWidget::clicked, this, [this] {
        m_userChange = false;
        rowClicked();
    });
    // Ticks changed by the mouse, as a drag across rows does, are reported like clicks.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_inMouseGesture)
            m_userChange = true;
    });
}

void TPickList::mousePressEvent(QMouseEvent *event)
{
    m_inMouseGesture = true;
    m_userChange = false;
    QListWidget::mousePressEvent(event);
}

void TPickList::mouseMoveEvent(QMouseEvent *event)
{
    QListWidget::mouseMoveEvent(event);
    if (m_userChange) {
        m_userChange = false;
        rowClicked();
    }
}

void TPickList::mouseReleaseEvent(QMouseEvent *event)
{
    QListWidget::mouseReleaseEvent(event);
    m_inMouseGesture = false;
    // A change the release made that no click reported (the press and release on other rows).
    if (m_userChange) {
        m_userChange = false;
        rowClicked();
    }
}

QString TPickList::itemText(int row) const
{
    const QListWidgetItem *rowItem = item(row);
    return rowItem ? rowItem->text() : QString();
}

QStringList TPickList::Items() const
{
    QStringList rows;
    for (int row = 0; row < count(); ++row)
        rows.append(item(row)->text());
    return rows;
}

namespace {

// Rows of a sorted list compare without regard to case, as a sorted list box orders them.
class PickListItem : public QListWidgetItem {
public:
    using QListWidgetItem::QListWidgetItem;
    bool operator<(const QListWidgetItem &other) const override
    {
        return text().compare(other.text(), Qt::CaseInsensitive) < 0;
    }
};

} // namespace

void TPickList::setItems(const QStringList &rows)
{
    clear();
    for (const QString &row : rows)
        addRow(row);
}

void TPickList::addRow(const QString &text)
{
    addItem(new PickListItem(text));
}

void TPickList::loadFrom(const CheckListModel &model)
{
    setItems(model.rows());
    for (int row = 0; row < count(); ++row)
        setChecked(row, model.isChecked(row));
}

QStringList TPickList::checkedRows() const
{
    QStringList rows;
    for (int row = 0; row < count(); ++row)
        if (Checked(row))
            rows.append(itemText(row));
    return rows;
}

void TPickList::setAllChecked(bool checked)
{
    for (int row = 0; row < count(); ++row)
        setChecked(row, checked);
}

bool TPickList::Checked(int row) const
{
    const QListWidgetItem *rowItem = item(row);
    return rowItem && rowItem->isSelected();
}

void TPickList::setChecked(int row, bool checked)
{
    if (QListWidgetItem *rowItem = item(row))
        rowItem->setSelected(checked);
}

void TPickList::setMultiSelect(bool multiSelect)
{
    m_multiSelect = multiSelect;
    applySelectionMode();
}

void TPickList::setExtendedSelect(bool extended)
{
    m_extendedSelect = extended;
    applySelectionMode();
}

void TPickList::applySelectionMode()
{
    setSelectionMode(!m_multiSelect     ? QAbstractItemView::SingleSelection
                     : m_extendedSelect ? QAbstractItemView::ExtendedSelection
                                        : QAbstractItemView::MultiSelection);
}

void TPickList::setSorted(bool sorted)
{
    setSortingEnabled(sorted);
    if (sorted)
        sortItems();
}

void TPickList::setItemHeight(int height)
{
    m_itemHeight = height;
    // Uniform item sizes are measured once; a new height has to be measured again.
    doItemsLayout();
    viewport()->update();
}

QColor TPickList::Color() const
{
    return palette().color(QPalette::Base);
}

void TPickList::setColor(const QColor &color)
{
    QPalette colors = palette();
    colors.setColor(QPalette::Base, color);
    setPalette(colors);
}

void TPickList::setSelectedStyle(TSelectedStyle style)
{
    m_selectedStyle = style;
    viewport()->update();
}

void TPickList::setUseTabStops(bool use)
{
    m_useTabStops = use;
    viewport()->update();
}

QString TPickList::TabStops() const
{
    QStringList entries;
    for (int stop : m_tabStops)
        entries.append(QString::number(stop));
    return entries.join(u';');
}

QString TPickList::setTabStops(const QString &text)
{
    m_tabStops.clear();
    QString error;
    if (!text.isEmpty()) {
        // A ";" in the very first position belongs to the first entry.
        QStringList entries;
        qsizetype start = 0;
        for (qsizetype i = 1; i <= text.size(); ++i) {
            if (i == text.size() || text[i] == u';') {
                entries.append(text.mid(start, i - start));
                start = i + 1;
            }
        }
        for (const QString &entry : entries) {
            bool ok = false;
            const int stop = entry.toInt(&ok);
            if (!ok) {
                error = entry + QStringLiteral(" is an invalid tab stop");
                break;
            }
            m_tabStops.append(stop);
        }
    }
    viewport()->update();
    return error;
}

void TPickList::rowClicked()
{
    Q_EMIT OnClick();
    if (currentRow() != m_lastReportedRow) {
        m_lastReportedRow = currentRow();
        Q_EMIT OnChange();
    }
}

void TPickList::keyPressEvent(QKeyEvent *event)
{
    const int before = currentRow();
    const bool wasChecked = Checked(before);
    QListWidget::keyPressEvent(event);
    // The platform's selection-change notice: a key that moved the current row or toggled it,
    // and a movement key even where the row cannot move (the ends of the list).
    static const int movementKeys[] = {Qt::Key_Up,   Qt::Key_Down,   Qt::Key_Home,
                                       Qt::Key_End,  Qt::Key_PageUp, Qt::Key_PageDown,
                                       Qt::Key_Left, Qt::Key_Right};
    const bool movement = std::find(std::begin(movementKeys), std::end(movementKeys),
                                    event->key()) != std::end(movementKeys);
    if (movement || currentRow() != before || Checked(currentRow()) != wasChecked)
        rowClicked();
}
