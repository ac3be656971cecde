#include "PageExporter.h"

#include "reports/CsvWriter.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace {

QString failed(const QString &path, const QString &reason)
{
    return QStringLiteral("Unable to write ") + path + QStringLiteral(": ") + reason;
}

// Opens file for writing, or says why it cannot.
QString open(QSaveFile &file)
{
    return file.open(QIODevice::WriteOnly) ? QString()
                                           : failed(file.fileName(), file.errorString());
}

QString commit(QSaveFile &file)
{
    return file.commit() ? QString() : failed(file.fileName(), file.errorString());
}

} // namespace

bool PageExporter::isPictureFile(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == u"png" || suffix == u"svg" || suffix == u"pdf";
}

std::function<QString(QWidget *, const QString &, QString *)> PageExporter::chooseFile =
    [](QWidget *parent, const QString &filter, QString *chosenFilter) {
        return QFileDialog::getSaveFileName(parent, QStringLiteral("Export page"), QDir::homePath(),
                                            filter, chosenFilter);
    };

QString PageExporter::choosePath(QWidget *parent, const QStringList &suffixes, QString *error)
{
    static const QHash<QString, QString> names{{QStringLiteral("csv"), QStringLiteral("CSV file")},
                                               {QStringLiteral("png"), QStringLiteral("PNG image")},
                                               {QStringLiteral("svg"), QStringLiteral("SVG drawing")},
                                               {QStringLiteral("pdf"),
                                                QStringLiteral("PDF document")}};
    QStringList filters;
    for (const QString &suffix : suffixes)
        filters.append(names.value(suffix) + QStringLiteral(" (*.") + suffix + u')');
    QString chosen = filters.value(0);
    QString path = chooseFile(parent, filters.join(QStringLiteral(";;")), &chosen);
    if (path.isEmpty())
        return QString();
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix.isEmpty()) {
        // The type picked decides, where the name does not.
        const qsizetype picked = filters.indexOf(chosen);
        return path + u'.' + suffixes.value(picked < 0 ? 0 : picked);
    }
    if (!suffixes.contains(suffix)) {
        *error = QStringLiteral("This page cannot be saved as .") + suffix +
                 QStringLiteral(": it is saved as .") + suffixes.join(QStringLiteral(", .")) +
                 u'.';
        return QString();
    }
    return path;
}

QString PageExporter::writeCsv(const QString &path, const TextTable &table)
{
    QSaveFile file(path);
    if (QString error = open(file); !error.isEmpty())
        return error;
    const QByteArray text = CsvWriter::fromTable(table);
    if (file.write(text) != text.size())
        return failed(path, file.errorString());
    return commit(file);
}

QString PageExporter::writePicture(const QString &path, QSize size,
                                   const std::function<void(QPainter &, const QRectF &)> &draw)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (!isPictureFile(path))
        return failed(path, QStringLiteral("a picture is written as .png, .svg or .pdf"));
    QSaveFile file(path);
    if (QString error = open(file); !error.isEmpty())
        return error;
    const QRectF area(QPointF(0, 0), QSizeF(size));
    if (suffix == u"png") {
        QImage image(size * 2, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(2);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            draw(painter, area);
        }
        if (!image.save(&file, "PNG"))
            return failed(path, file.errorString());
    } else if (suffix == u"svg") {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(size);
        svg.setViewBox(area);
        svg.setTitle(QFileInfo(path).completeBaseName());
        QPainter painter;
        if (!painter.begin(&svg))
            return failed(path, file.errorString());
        draw(painter, area);
        painter.end();
    } else {
        QPdfWriter pdf(&file);
        pdf.setResolution(96);
        pdf.setPageSize(QPageSize(QSizeF(size), QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        if (!painter.begin(&pdf))
            return failed(path, file.errorString());
        // The page is in points (1/72 inch); the picture in pixels at 96 per inch.
        const double scale = double(pdf.width()) / size.width();
        painter.scale(scale, scale);
        draw(painter, area);
        painter.end();
    }
    return commit(file);
}
