#pragma once

#include "TextTable.h"

#include <QWidget>

class QLabel;
class QTableWidget;

// A report page shown as its listing: the page's table, read only, and the notes under it.
class ListingPage : public QWidget {
    Q_OBJECT

public:
    explicit ListingPage(QWidget *parent = nullptr);

    void showTable(const TextTable &table);
    QTableWidget *grid() const { return m_grid; }

private:
    QLabel *m_title;
    QTableWidget *m_grid;
    QLabel *m_notes;
};
