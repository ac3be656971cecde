#pragma once

#include <QByteArray>

class FileLists;
class StatAccumulators;

// A run's figures and lists as one compressed block of bytes, so that a kept run can be shown
// again exactly as it finished: every counter and table of the accumulators, the run's
// options, and the largest files and folders with the folders their paths need.
class RunArchive {
public:
    static QByteArray write(const StatAccumulators &stats, const FileLists &lists);
    // Fills stats and lists from data; false (both left cleared) for bytes this version does
    // not read: damaged, cut short or written by a newer format.
    static bool read(const QByteArray &data, StatAccumulators &stats, FileLists &lists);

private:
    class Writer;
    class Reader;
    static void writeLists(Writer &out, const FileLists &lists);
    static bool readLists(Reader &in, FileLists &lists);
};
