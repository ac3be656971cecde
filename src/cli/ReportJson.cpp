#include "ReportJson.h"

#include "JsonWriter.h"
#include "collection/CollectionRun.h"
#include "collection/FileLists.h"
#include "collection/FolderTree.h"
#include "collection/StatAccumulators.h"
#include "history/KeptRun.h"
#include "history/RunComparison.h"
#include "reports/FileListPages.h"
#include "reports/ReportPage.h"

namespace {

class RunWriter {
public:
    RunWriter(const CollectionRun &run, JsonWriter &json)
        : m_stats(run.stats()), m_lists(run.lists()), m_json(json)
    {
    }

    // Every row and total carries the space on disk beside its bytes, counted or not shown.
    void filesAndBytes(double files, double bytes, double allocated)
    {
        m_json.member("files", files);
        m_json.member("bytes", bytes);
        m_json.member("allocatedBytes", allocated);
    }

    // The kept files of row, when the run kept lists.
    void files(const ListedRow &row)
    {
        if (!m_lists.enabled())
            return;
        m_json.key("files");
        m_json.beginArray();
        for (const KeptFile &file : m_lists.files(row.row)) {
            m_json.beginObject();
            m_json.key("path");
            m_json.fileName(m_lists.path(file));
            m_json.member("bytes", file.size);
            m_json.member("allocatedBytes", file.allocated);
            const std::pair<const char *, PackedFileDate> dates[] = {{"modified", file.modified},
                                                                     {"created", file.created},
                                                                     {"accessed", file.accessed}};
            for (const auto &[name, date] : dates) {
                m_json.key(name);
                FileListPages::IsoDateBuffer buffer;
                const QLatin1StringView text = FileListPages::isoDateText(date, buffer);
                if (text.isEmpty())
                    m_json.null();
                else
                    m_json.value(text);
            }
            FileListPages::AttributeBuffer letters;
            m_json.member("attributes", FileListPages::attributeLetters(file.attributes, letters));
            m_json.endObject();
        }
        m_json.endArray();
    }

    // Rows from first to last of a banded page: label, files, bytes and files kept.
    template <typename Bands, typename Row>
    void bands(int first, int last, QString (*label)(int), const Bands &counts, const Bands &bytes,
               const Bands &allocated, Row listedRow)
    {
        m_json.beginArray();
        for (int band = first; band <= last; ++band) {
            m_json.beginObject();
            m_json.member("label", label(band));
            filesAndBytes(counts[size_t(band)], bytes[size_t(band)], allocated[size_t(band)]);
            files(listedRow(band));
            m_json.endObject();
        }
        m_json.endArray();
    }

    void extensions()
    {
        m_json.key("extensions");
        m_json.beginArray();
        for (const ExtensionRow &row : m_stats.lbTypes.rows()) {
            m_json.beginObject();
            m_json.key("ext");
            m_json.fileName(row.key);
            filesAndBytes(double(row.files), double(row.bytes), double(row.allocated));
            files(FileListPages::typesRow(m_stats, row.key));
            m_json.endObject();
        }
        m_json.endArray();
    }

    void ages()
    {
        static const char *const names[ReportPage::stampCount] = {"accessed", "created",
                                                                  "modified"};
        m_json.key("ages");
        m_json.beginObject();
        for (int stamp = 0; stamp < ReportPage::stampCount; ++stamp) {
            m_json.key(names[stamp]);
            const auto kind = ListRow::Kind(ListRow::AccessedAge + stamp);
            bands(0, ReportPage::ageBandCount - 1, ReportPage::ageBandLabel,
                  m_stats.ageCounts(stamp), m_stats.ageBytes(stamp),
                  m_stats.onDisk.ages[size_t(stamp)],
                  [&](int band) { return FileListPages::ageRow(m_stats, kind, band); });
        }
        m_json.endObject();
    }

    void slots()
    {
        // Modified first, as the Time page's curves stand.
        const std::pair<const char *, int> stamps[] = {
            {"modified", 2}, {"created", 1}, {"accessed", 0}};
        m_json.key("slots");
        m_json.beginObject();
        for (const auto &[name, stamp] : stamps) {
            m_json.key(name);
            m_json.beginArray();
            for (double value : m_stats.slots(stamp))
                m_json.value(value);
            m_json.endArray();
        }
        m_json.endObject();
        if (!m_lists.enabled())
            return;
        // The files of each half hour, as the slots above: 48 per stamp.
        m_json.key("slotFiles");
        m_json.beginObject();
        for (const auto &[name, stamp] : stamps) {
            m_json.key(name);
            m_json.beginArray();
            const auto kind = ListRow::Kind(ListRow::AccessedSlot + stamp);
            for (int slot = 0; slot < StatAccumulators::slotCount; ++slot) {
                m_json.beginObject();
                files(FileListPages::slotRow(m_stats, kind, slot));
                m_json.endObject();
            }
            m_json.endArray();
        }
        m_json.endObject();
    }

    void attributes()
    {
        const std::pair<const char *, quint32> names[] = {{"readOnly", faReadOnly},
                                                          {"hidden", faHidden},
                                                          {"system", faSystem},
                                                          {"archive", faArchive}};
        m_json.key("attributes");
        m_json.beginObject();
        for (const auto &[name, bit] : names) {
            const StatAccumulators::AttributeFigures figures = m_stats.attributeFigures(bit);
            m_json.key(name);
            m_json.beginObject();
            filesAndBytes(double(figures.files), figures.bytes, m_stats.attributeOnDisk(bit));
            files(FileListPages::attributeRow(m_stats, bit));
            m_json.endObject();
        }
        m_json.endObject();
    }

    void overhang()
    {
        m_json.key("overhang");
        m_json.beginObject();
        const std::array<double, 5> waste = m_stats.overhangSums();
        for (size_t i = 0; i < StatAccumulators::clusterSizes.size(); ++i)
            m_json.member(QString::number(StatAccumulators::clusterSizes[i]), waste[i]);
        m_json.endObject();
    }

    void largestFolders()
    {
        if (!m_lists.enabled())
            return;
        m_json.key("largestFolders");
        m_json.beginArray();
        for (const FileLists::TargetFolders &target : m_lists.largestFolders()) {
            m_json.beginObject();
            m_json.member("target", target.target);
            m_json.key("folders");
            m_json.beginArray();
            for (const FolderRecords::Total &folder : target.folders) {
                m_json.beginObject();
                m_json.key("path");
                m_json.fileName(m_lists.folderPath(folder.folder));
                m_json.member("bytes", folder.bytes);
                m_json.member("allocatedBytes", folder.allocated);
                m_json.endObject();
            }
            m_json.endArray();
            m_json.endObject();
        }
        m_json.endArray();
    }

    // The folder tree to depth levels below the targets, largest first, each folder an object
    // with its children.
    void folderTree(int depth)
    {
        m_json.key("folders");
        m_json.beginArray();
        if (m_lists.hasFolderTree()) {
            const FolderTree tree(m_lists.folders());
            for (const quint32 root : tree.roots())
                folder(tree, root, depth);
        }
        m_json.endArray();
    }

private:
    void folder(const FolderTree &tree, quint32 id, int depth)
    {
        const FolderTree::Node &node = tree.node(id);
        m_json.beginObject();
        m_json.key("path");
        m_json.fileName(tree.path(id));
        m_json.member("bytes", node.bytes);
        m_json.member("allocatedBytes", node.allocated);
        m_json.member("files", node.files);
        if (depth > 0) {
            m_json.key("children");
            m_json.beginArray();
            for (const quint32 child : node.children)
                folder(tree, child, depth - 1);
            m_json.endArray();
        }
        m_json.endObject();
    }

    const StatAccumulators &m_stats;
    const FileLists &m_lists;
    JsonWriter &m_json;
};

void strings(JsonWriter &json, QAnyStringView name, const QStringList &values)
{
    json.key(name);
    json.beginArray();
    for (const QString &value : values)
        json.value(value);
    json.endArray();
}

} // namespace

void ReportJson::run(const CollectionRun &run, const QStringList &types, int folderDepth,
                     const std::function<void(QByteArrayView)> &out)
{
    const StatAccumulators &stats = run.stats();
    const CollectionOptions &options = stats.options();
    JsonWriter json(out);
    RunWriter writer(run, json);
    json.beginObject();
    strings(json, "targets", RunTarget::namesOf(run.targets()));
    json.member("mode", options.allFiles          ? QStringLiteral("all")
                        : options.includeSelected ? QStringLiteral("include")
                                                  : QStringLiteral("exclude"));
    strings(json, "types", types);
    json.member("filesProcessed", stats.filesProcessed);
    json.member("filesFound", stats.filesFound);
    json.member("aborted", run.aborted());
    json.member("onDisk", options.countOnDisk);
    json.member("unreadableFolders", run.unreadable().count());
    json.member("skippedFolders", run.unreadable().skipped());
    json.key("unreadable");
    json.beginArray();
    for (const UnreadableFolders::Folder &folder : run.unreadable().folders()) {
        json.beginObject();
        json.key("path");
        json.fileName(folder.path);
        json.member("reason", folder.reason());
        json.endObject();
    }
    json.endArray();
    json.member("clusterSize", run.clusterSize());
    json.member("unlistedFiles", stats.unlistedFiles);
    json.member("unlistedBytes", stats.unlistedBytes);
    json.member("unlistedAllocatedBytes", stats.onDisk.unlisted);
    // The whole run: bytes as the pages count them, space as the disk does (the files', each
    // file with several names once, and the folders' own), and the names that were hard links.
    double bytes = 0;
    for (const double band : stats.sizeBytes)
        bytes += band;
    json.key("totals");
    json.beginObject();
    writer.filesAndBytes(double(stats.filesFound), bytes, stats.onDisk.files);
    json.member("folderAllocatedBytes", stats.onDisk.folders);
    json.member("hardLinkNames", stats.onDisk.linkedNames);
    json.member("hardLinkAllocatedBytes", stats.onDisk.linkedBytes);
    json.endObject();
    writer.extensions();
    json.key("sizeBands");
    writer.bands(1, ReportPage::sizeBandCount, ReportPage::sizeBandLabel, stats.sizeCount,
                 stats.sizeBytes, stats.onDisk.sizes,
                 [&](int band) { return FileListPages::sizesRow(stats, band); });
    writer.ages();
    writer.slots();
    writer.attributes();
    writer.overhang();
    writer.largestFolders();
    if (folderDepth >= 0)
        writer.folderTree(folderDepth);
    json.endObject();
    json.flush();
    out("\n");
}

QString ReportJson::comparison(const KeptRun &against, const QList<PageChange> &pages,
                               const QStringList &differences)
{
    JsonWriter json;
    auto figures = [&](const char *key, qint64 files, qint64 bytes) {
        json.key(key);
        json.beginObject();
        json.member("files", files);
        json.member("bytes", bytes);
        json.endObject();
    };
    json.beginObject();
    json.key("against");
    json.beginObject();
    json.member("id", against.id);
    json.member("started", against.started.toString(Qt::ISODate));
    strings(json, "targets", against.targets);
    json.endObject();
    strings(json, "notes", differences);
    json.key("pages");
    json.beginArray();
    for (const PageChange &page : pages) {
        json.beginObject();
        json.member("page", page.title);
        json.key("rows");
        json.beginArray();
        qint64 totals[4] = {};
        for (const RowChange &row : page.rows) {
            json.beginObject();
            json.member("label", row.label);
            json.member("state", RunComparison::stateText(row.state));
            figures("before", row.filesBefore, row.bytesBefore);
            figures("after", row.filesAfter, row.bytesAfter);
            figures("change", row.filesAfter - row.filesBefore, row.bytesAfter - row.bytesBefore);
            json.endObject();
            totals[0] += row.filesBefore;
            totals[1] += row.bytesBefore;
            totals[2] += row.filesAfter;
            totals[3] += row.bytesAfter;
        }
        json.endArray();
        json.key("totals");
        json.beginObject();
        figures("before", totals[0], totals[1]);
        figures("after", totals[2], totals[3]);
        figures("change", totals[2] - totals[0], totals[3] - totals[1]);
        json.endObject();
        json.endObject();
    }
    json.endArray();
    json.endObject();
    return json.text() + u'\n';
}

QString ReportJson::history(const QList<KeptRun> &runs)
{
    JsonWriter json;
    json.beginArray();
    for (const KeptRun &run : runs) {
        json.beginObject();
        json.member("id", run.id);
        json.member("started", run.started.toString(Qt::ISODate));
        json.member("host", run.host);
        json.member("user", run.user);
        strings(json, "targets", run.targets);
        json.member("mode", run.mode);
        strings(json, "types", run.types);
        json.member("hiddenFolders", run.hiddenFolders);
        json.member("longExtensions", run.longExtensions);
        json.member("filesProcessed", run.filesProcessed);
        json.member("filesFound", run.filesFound);
        json.member("bytesFound", run.bytesFound);
        json.member("aborted", run.aborted);
        json.member("status", run.status);
        json.endObject();
    }
    json.endArray();
    return json.text() + u'\n';
}
