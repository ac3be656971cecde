#pragma once

#include "reports/TextTable.h"

#include <QDialog>

class QPushButton;
class QTabWidget;
class QTableWidget;

// The change of the Types, Sizes and date listings between two kept runs: a tab per listing,
// a row per label with files and bytes before, after and their signed change, largest growth
// first, new and vanished rows marked; each can be saved as CSV.
class ComparisonWindow : public QDialog {
    Q_OBJECT

public:
    ComparisonWindow(const QList<TextTable> &tables, const QString &title,
                     QWidget *parent = nullptr);

    // Saves the listing on show as CSV, the figures as plain signed digits.
    void btExportClick();

    QTabWidget *pages;
    QPushButton *btExport;
    // The listing of tab index.
    QTableWidget *listing(int index) const;

private:
    QList<TextTable> m_tables;
};
