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

// Asks for the file to export to (filter: the save dialog's types); empty when cancelled.
// The desktop's save dialog unless replaced (tests answer it themselves).
extern std::function<QString(QWidget *parent, const QString &filter)> chooseFile;

QString writeCsv(const QString &path, const TextTable &table);
// draw paints the picture into a rectangle of size (at the origin).
QString writePicture(const QString &path, QSize size,
                     const std::function<void(QPainter &, const QRectF &)> &draw);
// Whether path names a picture type this writes (.png, .svg or .pdf, any case).
bool isPictureFile(const QString &path);

} // namespace PageExporter
