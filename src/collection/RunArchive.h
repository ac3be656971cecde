#pragma once

#include <QByteArray>

class FileLists;
class StatAccumulators;
class UnreadableFolders;

// A run's figures and lists as one compressed block of bytes, so that a kept run can be shown
// again exactly as it finished: every counter and table of the accumulators, the run's
// options, the largest files and folders with the folders their paths need, and the folders
// it could not read.
class RunArchive {
public:
    static QByteArray write(const StatAccumulators &stats, const FileLists &lists,
                            const UnreadableFolders &unreadable);
    // Fills stats, lists and unreadable from data; false (all left cleared) for bytes this
    // version does not read: damaged, cut short or written by a newer format. An archive of
    // the first format has no unreadable folders. A block that claims to expand beyond a sane
    // size is refused before it is expanded, and figures that are no counts (not finite,
    // negative, too large to add up) are refused as damage.
    static bool read(const QByteArray &data, StatAccumulators &stats, FileLists &lists,
                     UnreadableFolders &unreadable);

private:
    class Writer;
    class Reader;
    static void writeLists(Writer &out, const FileLists &lists);
    static bool readLists(Reader &in, FileLists &lists);
    static bool plausibleFigures(const StatAccumulators &stats);
};
