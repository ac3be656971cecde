#pragma once

#include "TextTable.h"

#include <QByteArray>
#include <QList>
#include <QString>

class FileLists;
class StatAccumulators;

// Every page of a finished run as a table, in page order: what the report prints and what the
// history keeps, from the window's runs and the report's alike.
namespace RunPages {

struct Target {
    QString name;      // the drive row, or the folder as given
    QByteArray folder; // empty for a drive
};

// The window's drive rows as targets: a folder row is its own path.
QList<Target> targetsOf(const QStringList &rows);
// The file system a single target's Overhang page speaks of.
QString fileSystemOf(const Target &target);
// Space, Types, Sizes, Overhang (for a single target with counted bytes only), the three date
// pages, Combined, Attribute and Time. fileSystem: the Overhang page's, by fileSystemOf.
QList<TextTable> tables(const StatAccumulators &stats, const FileLists &lists,
                        const QList<Target> &targets, qint32 clusterSize,
                        const QString &fileSystem);

} // namespace RunPages
