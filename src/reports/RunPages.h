#pragma once

#include "TextTable.h"
#include "collection/RunTarget.h"

#include <QList>
#include <QString>

class FileLists;
class StatAccumulators;

// Every page of a finished run as a table, in page order: what the report prints and what the
// history keeps, from the window's runs and the report's alike.
namespace RunPages {

// Space, Types, Sizes, Overhang (for a single target with counted bytes only), the three date
// pages, Combined, Attribute and Time, each table's page set. fileSystem: the Overhang page's.
QList<TextTable> tables(const StatAccumulators &stats, const FileLists &lists,
                        const QList<RunTarget> &targets, qint32 clusterSize,
                        const QString &fileSystem);

} // namespace RunPages
