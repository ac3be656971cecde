#include "HistoryWindow.h"

#include "ComparisonWindow.h"
#include "common/Utility.h"
#include "history/RunComparison.h"
#include "platform/Messages.h"
#include "widgets/OffThread.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

HistoryWindow::HistoryWindow(const QString &databasePath, QWidget *parent)
    : QDialog(parent), m_path(databasePath), m_store(databasePath)
{
    setWindowTitle(QStringLiteral("History"));
    setAttribute(Qt::WA_DeleteOnClose);
    lblState = new QLabel;
    lblState->setWordWrap(true);
    runList = new QTableWidget(0, ColumnCount);
    runList->setHorizontalHeaderLabels({QStringLiteral("Started"), QStringLiteral("Targets"),
                                        QStringLiteral("Mode"), QStringLiteral("Options"),
                                        QStringLiteral("Files"), QStringLiteral("Bytes"),
                                        QStringLiteral("Aborted")});
    runList->verticalHeader()->hide();
    runList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    runList->setSelectionBehavior(QAbstractItemView::SelectRows);
    runList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    runList->verticalHeader()->setDefaultSectionSize(runList->fontMetrics().height() + 6);
    btOpen = new QPushButton(QStringLiteral("&Open"));
    btOpen->setToolTip(QStringLiteral("Show the picked run on the statistics pages"));
    btCompare = new QPushButton(QStringLiteral("&Compare"));
    btCompare->setToolTip(QStringLiteral("Show what changed between the two picked runs"));
    btDelete = new QPushButton(QStringLiteral("&Delete"));
    btDelete->setToolTip(QStringLiteral("Remove the picked runs from the history"));
    btClose = new QPushButton(QStringLiteral("Close"));
    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : {btOpen, btCompare, btDelete})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(btClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblState);
    layout->addWidget(runList);
    layout->addLayout(buttons);

    connect(btOpen, &QPushButton::clicked, this, &HistoryWindow::btOpenClick);
    connect(btCompare, &QPushButton::clicked, this, &HistoryWindow::btCompareClick);
    connect(btDelete, &QPushButton::clicked, this, &HistoryWindow::btDeleteClick);
    connect(btClose, &QPushButton::clicked, this, &QDialog::close);
    connect(runList, &QTableWidget::itemSelectionChanged, this, &HistoryWindow::updateButtons);
    connect(runList, &QTableWidget::cellDoubleClicked, this, [this] { btOpenClick(); });
    resize(720, 360);
    refresh();
    runList->setFocus();
}

void HistoryWindow::refresh()
{
    m_runs = m_store.runs();
    runList->clearSelection();
    runList->setRowCount(int(m_runs.size()));
    for (int row = 0; row < m_runs.size(); ++row) {
        const KeptRun &run = m_runs[row];
        const QString cells[ColumnCount] = {QLocale().toString(run.started, QLocale::ShortFormat),
                                            run.targets.join(QStringLiteral("; ")),
                                            run.modeText(),
                                            run.optionsText(),
                                            intToGrouped(run.filesFound),
                                            intToGrouped(run.bytesFound),
                                            run.aborted ? QStringLiteral("Aborted") : QString()};
        for (int column = 0; column < ColumnCount; ++column) {
            auto *cell = new QTableWidgetItem(cells[column]);
            if (column == Targets || column == Mode)
                cell->setToolTip(cells[column]);
            if (column == Files || column == Bytes)
                cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            runList->setItem(row, column, cell);
        }
    }
    // The newest run is picked and the list has the keys: Enter opens it, Up and Down pick
    // another, Shift or Ctrl with them pick a second to compare.
    if (!m_runs.isEmpty())
        runList->setCurrentCell(0, 0);
    runList->resizeColumnsToContents();
    // The targets take what room is left; long ones are elided, in full in the tooltip.
    runList->horizontalHeader()->setSectionResizeMode(Targets, QHeaderView::Stretch);
    if (!m_store.error().isEmpty()) {
        lblState->setText(m_store.error());
        offerToSetAside();
    }
    else if (m_runs.isEmpty())
        lblState->setText(QStringLiteral(
            "No runs are kept yet. Tick \"Keep the run in history\" in the second step of "
            "Collect statistics to keep the next one."));
    else
        lblState->setText(QStringLiteral("%1 kept runs, newest first. Pick one to open, two to "
                                         "compare.")
                              .arg(m_runs.size()));
    updateButtons();
}

void HistoryWindow::offerToSetAside()
{
    // A history of a newer Quillix is not damaged: it is left as it is.
    if (m_store.error().contains(QStringLiteral("newer Quillix")) || !QFileInfo::exists(m_path))
        return;
    if (!Messages::current().confirm(
            QStringLiteral("The history %1 cannot be read: %2\n\nSet it aside (renamed with "
                           "today's date, nothing is deleted) and start a new history?")
                .arg(m_path, m_store.error())))
        return;
    if (const std::optional<QString> aside = m_store.setAside()) {
        lblState->setText(QStringLiteral("The damaged history is kept as %1; new runs are kept "
                                         "in a new one.")
                              .arg(*aside));
        m_runs.clear();
        runList->setRowCount(0);
        updateButtons();
    } else {
        Messages::current().errorBox(m_store.error());
    }
}

void HistoryWindow::pickRows(const QList<int> &rows)
{
    runList->clearSelection();
    for (int row : rows)
        runList->selectionModel()->select(runList->model()->index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

QList<KeptRun> HistoryWindow::pickedRuns() const
{
    QList<KeptRun> picked;
    for (int row = 0; row < m_runs.size(); ++row)
        if (runList->selectionModel()->isRowSelected(row, QModelIndex()))
            picked.append(m_runs[row]);
    return picked;
}

void HistoryWindow::updateButtons()
{
    const qsizetype picked = pickedRuns().size();
    btOpen->setEnabled(picked == 1);
    btCompare->setEnabled(picked == 2);
    btDelete->setEnabled(picked > 0);
}

std::optional<KeptRun> HistoryWindow::load(qint64 id)
{
    if (m_loading)
        return std::nullopt;
    // Read off the window's thread, through a connection of that thread's own.
    m_loading = true;
    const auto [run, error] = waitOffThread([path = m_path, id] {
        HistoryStore store(path);
        std::optional<KeptRun> found = store.run(id);
        return std::pair{found, store.error()};
    });
    m_loading = false;
    if (!run)
        Messages::current().errorBox(
            error.isEmpty() ? QStringLiteral("Run %1 is no longer kept.").arg(id)
                            : QStringLiteral("Unable to read run %1: ").arg(id) + error);
    return run;
}

void HistoryWindow::btOpenClick()
{
    const QList<KeptRun> picked = pickedRuns();
    if (picked.size() != 1)
        return;
    if (const std::optional<KeptRun> run = load(picked.first().id))
        Q_EMIT openRun(*run);
}

ComparisonWindow *HistoryWindow::btCompareClick()
{
    QList<KeptRun> picked = pickedRuns();
    if (picked.size() != 2)
        return nullptr;
    std::sort(picked.begin(), picked.end(), [](const KeptRun &a, const KeptRun &b) {
        return a.started != b.started ? a.started < b.started : a.id < b.id;
    });
    const std::optional<KeptRun> before = load(picked[0].id);
    const std::optional<KeptRun> after = before ? load(picked[1].id) : std::nullopt;
    if (!after)
        return nullptr;
    const QStringList differences = RunComparison::differences(*before, *after);
    if (!differences.isEmpty() &&
        !Messages::current().confirm(QStringLiteral("The two runs did not look at the same "
                                                    "files:\n\n") +
                                     differences.join(u'\n') +
                                     QStringLiteral("\n\nCompare them anyway?")))
        return nullptr;
    const QString beforeName = RunComparison::runName(*before);
    const QString afterName = RunComparison::runName(*after);
    const QList<TextTable> tables =
        RunComparison::changeTables(RunComparison::compare(*before, *after), beforeName, afterName,
                                    before->onDisk && after->onDisk);
    auto *window = new ComparisonWindow(
        tables, QStringLiteral("Changes from ") + beforeName + QStringLiteral(" to ") + afterName,
        this);
    window->show();
    return window;
}

void HistoryWindow::btDeleteClick()
{
    const QList<KeptRun> picked = pickedRuns();
    if (picked.isEmpty())
        return;
    const QString question =
        picked.size() == 1
            ? QStringLiteral("Delete %1 from the history?")
                  .arg(RunComparison::runName(picked.first()))
            : QStringLiteral("Delete the %1 picked runs from the history?").arg(picked.size());
    if (!Messages::current().confirm(question))
        return;
    for (const KeptRun &run : picked)
        if (!m_store.remove(run.id) && !m_store.error().isEmpty()) {
            Messages::current().errorBox(m_store.error());
            break;
        }
    refresh();
}
