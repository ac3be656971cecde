#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class CollectionRun;
struct KeptRun;
struct PageChange;

// quillix-report's JSON: a run with every table and list, a comparison, the kept runs. Every
// object names its figures once here, from the core's list of pages and rows.
namespace ReportJson {

// The JSON goes to out in pieces as it is written. types: the extensions of --include or
// --exclude, as given; folderDepth: the levels of the folder tree given ("folders"), -1 none.
void run(const CollectionRun &run, const QStringList &types, int folderDepth,
         const std::function<void(QByteArrayView)> &out);
QString comparison(const KeptRun &against, const QList<PageChange> &pages,
                   const QStringList &differences);
QString history(const QList<KeptRun> &runs);

} // namespace ReportJson
