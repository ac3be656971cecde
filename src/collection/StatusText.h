#pragma once

#include <QString>

// The status line after a drive has been walked: "Finished - 1,234 files processed", then
// " 1,000 files found" when not every file was counted, then " INCOMPLETE ... ABORTED" after
// an abort.
// unreadableFolders: folders the run could not read, said after all that (" - 2 folders
// unreadable") when there are any; skippedFolders, the folders the user's patterns left out,
// after those (" - 3 folders skipped").
QString finishedStatusText(qint64 filesProcessed, qint64 filesFound, bool aborted,
                           qint64 unreadableFolders = 0, qint64 skippedFolders = 0);
// "1,234 files (56 MB) with longer extensions are not listed", or empty when there are none.
QString unlistedText(qint64 files, qint64 bytes);
