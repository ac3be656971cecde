#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class CollectionRun;
struct KeptRun;
struct PageChange;

// quillix-report's JSON: a run with every table and list, a comparison, the kept runs. Every
// object names its figures once here, from the core's list of pages and rows.
namespace ReportJson {

// types: the extensions of --include or --exclude, as given.
QString run(const CollectionRun &run, const QStringList &types);
QString comparison(const KeptRun &against, const QList<PageChange> &pages,
                   const QStringList &differences);
QString history(const QList<KeptRun> &runs);

} // namespace ReportJson
