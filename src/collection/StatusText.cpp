#include "StatusText.h"

#include "common/NumberPattern.h"
#include "common/Utility.h"

QString finishedStatusText(qint64 filesProcessed, qint64 filesFound, bool aborted,
                           qint64 unreadableFolders)
{
    QString text = QStringLiteral("Finished - ") + intToGrouped(filesProcessed) +
                   QStringLiteral(" files processed");
    if (filesFound != filesProcessed)
        text += u' ' + intToGrouped(filesFound) + QStringLiteral(" files found");
    if (aborted)
        text += QStringLiteral(" INCOMPLETE ... ABORTED");
    // What this program adds comes after the line as it always read.
    if (unreadableFolders > 0)
        text += QStringLiteral(" - ") + intToGrouped(unreadableFolders) +
                (unreadableFolders == 1 ? QStringLiteral(" folder unreadable")
                                        : QStringLiteral(" folders unreadable"));
    return text;
}

QString unlistedText(qint64 files, qint64 bytes)
{
    if (files <= 0)
        return QString();
    return intToGrouped(files) +
           (files == 1 ? QStringLiteral(" file (") : QStringLiteral(" files (")) +
           formatFloat(QStringLiteral("#,##0.#"), double(bytes) / 1048576.0) +
           QStringLiteral(" MB) with longer extensions are not listed");
}
