#pragma once

#include "reports/TextTable.h"

#include <QDialog>

class QTabWidget;
class QTableWidget;

// The change of the Types, Sizes and date listings between two kept runs: a tab per listing,
// a row per label with files and bytes before, after and their signed change, largest growth
// first, new and vanished rows marked.
class ComparisonWindow : public QDialog {
    Q_OBJECT

public:
    ComparisonWindow(const QList<TextTable> &tables, const QString &title,
                     QWidget *parent = nullptr);

    QTabWidget *pages;
    // The listing of tab index.
    QTableWidget *listing(int index) const;
};
