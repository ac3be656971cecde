#include "ComparisonWindow.h"

#include "platform/Messages.h"
#include "widgets/PageExporter.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

ComparisonWindow::ComparisonWindow(const QList<TextTable> &tables, const QString &title,
                                   QWidget *parent)
    : QDialog(parent), m_tables(tables)
{
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    pages = new QTabWidget;
    for (const TextTable &table : tables) {
        auto *grid = new QTableWidget(int(table.rows.size()), int(table.headings.size()));
        grid->setHorizontalHeaderLabels(table.headings);
        grid->verticalHeader()->hide();
        grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid->setSelectionBehavior(QAbstractItemView::SelectRows);
        for (qsizetype r = 0; r < table.rows.size(); ++r)
            for (qsizetype c = 0; c < table.rows[r].size() && c < table.headings.size(); ++c) {
                auto *cell = new QTableWidgetItem(table.rows[r][c]);
                if (table.rightAligned.value(c))
                    cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                grid->setItem(int(r), int(c), cell);
            }
        grid->resizeColumnsToContents();
        // The page's name heads the first column: the tab says it already.
        pages->addTab(grid, table.headings.value(0));
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    btExport = buttons->addButton(QStringLiteral("&Export..."), QDialogButtonBox::ActionRole);
    btExport->setToolTip(QStringLiteral("Save this listing as CSV"));
    connect(btExport, &QPushButton::clicked, this, &ComparisonWindow::btExportClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addWidget(buttons);
    resize(760, 480);
}

QTableWidget *ComparisonWindow::listing(int index) const
{
    return qobject_cast<QTableWidget *>(pages->widget(index));
}

void ComparisonWindow::btExportClick()
{
    const int index = pages->currentIndex();
    if (index < 0 || index >= m_tables.size())
        return;
    QString error;
    const QString path = PageExporter::choosePath(this, {QStringLiteral("csv")}, &error);
    if (path.isEmpty()) {
        if (!error.isEmpty())
            Messages::current().errorBox(error);
        return;
    }
    // The first heading names the page and both runs, so the file says what it compares.
    TextTable table = m_tables[index];
    if (!table.headings.isEmpty())
        table.headings.first() = table.title;
    error = PageExporter::writeCsv(path, table);
    if (!error.isEmpty())
        Messages::current().errorBox(error);
}
