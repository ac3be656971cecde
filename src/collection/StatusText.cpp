#include "StatusText.h"

#include "common/Utility.h"

QString finishedStatusText(qint64 filesProcessed, qint64 filesFound, bool aborted)
{
    QString text = QStringLiteral("Finished - ") + intToGrouped(filesProcessed) +
                   QStringLiteral(" files processed");
    if (filesFound != filesProcessed)
        text += u' ' + intToGrouped(filesFound) + QStringLiteral(" files found");
    if (aborted)
        text += QStringLiteral(" INCOMPLETE ... ABORTED");
    return text;
}
