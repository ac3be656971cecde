#pragma once

#include <QApplication>

#include <chrono>
#include <future>

// Runs work on a thread of its own and keeps the windows alive meanwhile (events processed,
// a busy cursor), then gives back what it returned. For reading what may be slow or large (a
// kept run from a database on a hung mount, an archive to expand), so that a window never
// freezes on it. Whatever work touches must be its own: it runs beside the event loop.
template <typename Work> auto waitOffThread(Work work)
{
    auto done = std::async(std::launch::async, std::move(work));
    QApplication::setOverrideCursor(Qt::BusyCursor);
    while (done.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QApplication::restoreOverrideCursor();
    return done.get();
}
