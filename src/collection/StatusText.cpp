#include "StatusText.h"

#include "common/NumberPattern.h"
#include "common/Utility.h"

QString finishedStatusText(qint64 filesProcessed, qint64 filesFound, bool aborted,
                           qint64 unreadableFolders, qint64 skippedFolders)
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
    if (skippedFolders > 0)
        text += QStringLiteral(" - ") + intToGrouped(skippedFolders) +
                (skippedFolders == 1 ? QStringLiteral(" folder skipped")
                                     : QStringLiteral(" folders skipped"));
    return text;
}

QString unlistedText(qint64 files, qint64 bytes)
{
    if (files <= 0)
        return QString();
    // Below a tenth of a megabyte, in bytes: "4 files (0 MB)" would say nothing.
    const QString size = bytes < 104858
                             ? intToGrouped(bytes) + QStringLiteral(" bytes")
                             : formatFloat(QStringLiteral("#,##0.#"), double(bytes) / 1048576.0) +
                                   QStringLiteral(" MB");
    return intToGrouped(files) +
           (files == 1 ? QStringLiteral(" file (") : QStringLiteral(" files (")) + size +
           QStringLiteral(") with longer extensions are not listed");
}
