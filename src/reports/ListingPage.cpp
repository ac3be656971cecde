#include "ListingPage.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

ListingPage::ListingPage(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    m_title = new QLabel;
    QFont title = m_title->font();
    title.setBold(true);
    m_title->setFont(title);
    m_grid = new QTableWidget;
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::NoSelection);
    m_grid->setFocusPolicy(Qt::NoFocus);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(19);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->setAlternatingRowColors(false);
    m_notes = new QLabel;
    m_notes->setWordWrap(true);
    layout->addWidget(m_title);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_notes);
}

void ListingPage::showTable(const TextTable &table)
{
    m_title->setText(table.title);
    m_title->setVisible(!table.title.isEmpty());
    m_grid->clear();
    m_grid->setColumnCount(int(table.headings.size()));
    m_grid->setRowCount(int(table.rows.size()));
    m_grid->setHorizontalHeaderLabels(table.headings);
    m_grid->setVisible(!table.headings.isEmpty());
    for (int r = 0; r < table.rows.size(); ++r)
        for (int c = 0; c < table.rows[r].size(); ++c) {
            auto *item = new QTableWidgetItem(table.rows[r][c]);
            item->setTextAlignment(Qt::AlignVCenter |
                                   (table.rightAligned.value(c) ? Qt::AlignRight : Qt::AlignLeft));
            m_grid->setItem(r, c, item);
        }
    m_grid->resizeColumnsToContents();
    m_notes->setText(table.notes.join(u'\n'));
    m_notes->setVisible(!table.notes.isEmpty());
}
