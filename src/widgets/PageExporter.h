#pragma once

#include "reports/TextTable.h"

#include <QSize>
#include <QString>

#include <functional>

class QPainter;
class QRectF;
class QWidget;

// Writes a page on show to a file the user named: a listing as CSV, a picture as PNG, SVG or
// PDF by the file name's suffix. A file is replaced only once the new one is whole; each
// returns the message for the user, or nothing when the file was written.
namespace PageExporter {

// Asks for the file to export to (filter: the save dialog's types, ";;" between them); empty
// when cancelled, and chosenFilter set to the type picked. The desktop's save dialog unless
// replaced (tests answer it themselves).
extern std::function<QString(QWidget *parent, const QString &filter, QString *chosenFilter)>
    chooseFile;
// Asks for the file to export to, as the page allows: suffixes such as {"csv"} or {"png",
// "svg", "pdf"}, the first the default. A name without a suffix takes the suffix of the type
// picked in the dialog; a name with one the page cannot be written as is refused (error says
// why, and nothing is returned). Empty when cancelled.
QString choosePath(QWidget *parent, const QStringList &suffixes, QString *error);

QString writeCsv(const QString &path, const TextTable &table);
// draw paints the picture into a rectangle of size (at the origin); a PNG is drawn at twice the
// size (for screens and prints of twice the pixels), SVG and PDF are drawn to scale.
QString writePicture(const QString &path, QSize size,
                     const std::function<void(QPainter &, const QRectF &)> &draw);
// Whether path names a picture type this writes (.png, .svg or .pdf, any case).
bool isPictureFile(const QString &path);

} // namespace PageExporter
