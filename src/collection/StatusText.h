#pragma once

#include <QString>

// The status line after a drive has been walked: "Finished - 1,234 files processed", then
// " 1,000 files found" when not every file was counted, then " INCOMPLETE ... ABORTED" after
// an abort.
QString finishedStatusText(qint64 filesProcessed, qint64 filesFound, bool aborted);
