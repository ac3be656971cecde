#include "HistoryWindow.h"

#include "ComparisonWindow.h"
#include "common/FileNameText.h"
#include "common/Utility.h"
#include "history/RunComparison.h"
#include "platform/Messages.h"
#include "widgets/OffThread.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

template <typename Work> auto HistoryWindow::withStore(Work work)
{
    using Result = decltype(work(std::declval<HistoryStore &>()));
    if (m_busy)
        return std::optional<Result>();
    m_busy = true;
    const auto [result, error] = waitOffThread([location = m_location, work] {
        HistoryStore store(location);
        Result made = work(store);
        return std::pair{made, store.error()};
    });
    m_busy = false;
    m_error = error;
    return std::optional<Result>(result);
}

QString HistoryWindow::shownHost(const KeptRun &run)
{
    // Written by any host into a shared history: shown as a listing shows names.
    return withoutHiddenControls(run.hostText());
}

HistoryWindow::HistoryWindow(const QString &location, QWidget *parent)
    : QDialog(parent), m_location(location)
{
    setWindowTitle(QStringLiteral("History"));
    setAttribute(Qt::WA_DeleteOnClose);
    lblState = new QLabel;
    lblState->setWordWrap(true);
    runList = new QTableWidget(0, ColumnCount);
    runList->setHorizontalHeaderLabels({QStringLiteral("Started"), QStringLiteral("Host"),
                                        QStringLiteral("Targets"), QStringLiteral("Mode"),
                                        QStringLiteral("Options"), QStringLiteral("Files"),
                                        QStringLiteral("Bytes"), QStringLiteral("Aborted")});
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
    cbHost = new QComboBox;
    cbHost->setToolTip(QStringLiteral("List the runs of one host only"));
    cbHost->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto *hostLabel = new QLabel(QStringLiteral("&Host:"));
    hostLabel->setBuddy(cbHost);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : {btOpen, btCompare, btDelete})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(hostLabel);
    buttons->addWidget(cbHost);
    buttons->addSpacing(12);
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
    connect(cbHost, &QComboBox::activated, this, &HistoryWindow::showRuns);
    resize(800, 360);
    refresh();
    runList->setFocus();
}

void HistoryWindow::refresh()
{
    const std::optional<QList<KeptRun>> runs =
        withStore([](HistoryStore &store) { return store.runs(); });
    if (!runs)
        return;
    m_runs = *runs;
    // The host chosen stays chosen while it has runs.
    const QString chosen = cbHost->currentIndex() > 0 ? cbHost->currentText() : QString();
    QStringList hosts;
    for (const KeptRun &run : m_runs)
        if (!run.hostText().isEmpty() && !hosts.contains(shownHost(run)))
            hosts.append(shownHost(run));
    hosts.sort(Qt::CaseInsensitive);
    cbHost->clear();
    cbHost->addItem(QStringLiteral("All hosts"));
    cbHost->addItems(hosts);
    cbHost->setCurrentIndex(std::max(0, cbHost->findText(chosen)));
    cbHost->setEnabled(hosts.size() > 1);
    showRuns();
}

void HistoryWindow::showRuns()
{
    const QString host = cbHost->currentIndex() > 0 ? cbHost->currentText() : QString();
    m_shown.clear();
    for (const KeptRun &run : m_runs)
        if (host.isEmpty() || shownHost(run) == host)
            m_shown.append(run);
    runList->clearSelection();
    runList->setRowCount(int(m_shown.size()));
    for (int row = 0; row < m_shown.size(); ++row) {
        const KeptRun &run = m_shown[row];
        const QString cells[ColumnCount] = {
            QLocale().toString(run.started, QLocale::ShortFormat),
            shownHost(run),
            withoutHiddenControls(run.targets.join(QStringLiteral("; "))),
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
    if (!m_shown.isEmpty())
        runList->setCurrentCell(0, 0);
    runList->resizeColumnsToContents();
    // The targets take what room is left; long ones are elided, in full in the tooltip.
    runList->horizontalHeader()->setSectionResizeMode(Targets, QHeaderView::Stretch);
    if (!m_error.isEmpty()) {
        lblState->setText(m_error);
        offerToSetAside();
    } else if (m_runs.isEmpty())
        lblState->setText(QStringLiteral(
            "No runs are kept yet. Tick \"Keep the run in history\" in the second step of "
            "Collect statistics to keep the next one."));
    else
        lblState->setText(
            (m_shown.size() == m_runs.size()
                 ? QStringLiteral("%1 kept runs").arg(m_runs.size())
                 : QStringLiteral("%1 of %2 kept runs").arg(m_shown.size()).arg(m_runs.size())) +
            QStringLiteral(", newest first. Pick one to open, two to compare."));
    updateButtons();
}

void HistoryWindow::offerToSetAside()
{
    // A history of a newer Quillix is not damaged: it is left as it is.
    const HistoryLocation location(m_location);
    if (m_error.contains(QStringLiteral("newer Quillix")) ||
        location.engine() != HistoryLocation::Engine::SQLite || !location.isValid() ||
        !QFileInfo::exists(location.path()))
        return;
    if (!Messages::current().confirm(
            QStringLiteral("The history %1 cannot be read: %2\n\nSet it aside (renamed with "
                           "today's date, nothing is deleted) and start a new history?")
                .arg(location.shown(), m_error)))
        return;
    const std::optional<std::optional<QString>> aside =
        withStore([](HistoryStore &store) { return store.setAside(); });
    if (!aside)
        return;
    if (*aside) {
        lblState->setText(QStringLiteral("The damaged history is kept as %1; new runs are kept "
                                         "in a new one.")
                              .arg(**aside));
        m_runs.clear();
        m_shown.clear();
        runList->setRowCount(0);
        updateButtons();
    } else {
        Messages::current().errorBox(m_error);
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
    for (int row = 0; row < m_shown.size(); ++row)
        if (runList->selectionModel()->isRowSelected(row, QModelIndex()))
            picked.append(m_shown[row]);
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
    const std::optional<std::optional<KeptRun>> run =
        withStore([id](HistoryStore &store) { return store.run(id); });
    if (!run)
        return std::nullopt;
    if (!*run)
        Messages::current().errorBox(
            m_error.isEmpty() ? QStringLiteral("Run %1 is no longer kept.").arg(id)
                              : QStringLiteral("Unable to read run %1: ").arg(id) + m_error);
    return *run;
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
    QList<qint64> ids;
    for (const KeptRun &run : picked)
        ids.append(run.id);
    const std::optional<bool> removed = withStore([ids](HistoryStore &store) {
        for (const qint64 id : ids)
            if (!store.remove(id) && !store.error().isEmpty())
                return false;
        return true;
    });
    if (removed && !*removed)
        Messages::current().errorBox(m_error);
    refresh();
}
