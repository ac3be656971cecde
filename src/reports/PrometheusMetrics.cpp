#include "PrometheusMetrics.h"

#include "ReportPage.h"
#include "collection/CollectionRun.h"
#include "collection/StatAccumulators.h"
#include "common/FileNameText.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace PrometheusMetrics {

namespace {

class MetricsText {
public:
    // Opens a metric family: its HELP and TYPE lines, once.
    void family(const char *name, const char *help)
    {
        m_name = name;
        m_text += "# HELP " + m_name + ' ' + help + "\n# TYPE " + m_name + " gauge\n";
    }
    // A sample of the family opened last; labels as name="value" pairs, already escaped.
    void sample(double value, const QByteArray &labels = {})
    {
        m_text += m_name;
        if (!labels.isEmpty())
            m_text += '{' + labels + '}';
        m_text += ' ' + number(value) + '\n';
    }
    QByteArray text() const { return m_text; }

private:
    static QByteArray number(double value)
    {
        if (!std::isfinite(value))
            return std::isnan(value) ? "NaN" : (value > 0 ? "+Inf" : "-Inf");
        // Whole figures (files, bytes) as integers, every digit kept up to 2^53.
        if (value == std::floor(value) && std::fabs(value) < 9007199254740992.0)
            return QByteArray::number(qint64(value));
        return QByteArray::number(value, 'g', 17);
    }

    QByteArray m_name;
    QByteArray m_text;
};

// printable: a text as a listing shows it (no controls, no turning marks).
QByteArray escaped(const QString &printable)
{
    QByteArray escaped;
    for (const char c : printable.toUtf8()) {
        if (c == '\\' || c == '"')
            escaped += '\\';
        if (c == '\n') {
            escaped += "\\n";
            continue;
        }
        escaped += c;
    }
    return escaped;
}

QByteArray label(const char *name, const QString &printable)
{
    return QByteArray(name) + "=\"" + escaped(printable) + '"';
}

} // namespace

QByteArray text(const CollectionRun &run)
{
    const StatAccumulators &stats = run.stats();
    const bool onDisk = stats.options().countOnDisk;
    MetricsText out;

    double bytes = 0;
    for (const double band : stats.sizeBytes)
        bytes += band;
    out.family("quillix_files_processed", "Files looked at by the run.");
    out.sample(double(stats.filesProcessed));
    out.family("quillix_files", "Files counted by the run (of the chosen types).");
    out.sample(double(stats.filesFound));
    out.family("quillix_bytes", "Size of the files counted by the run, in bytes.");
    out.sample(bytes);
    if (onDisk) {
        out.family("quillix_allocated_bytes",
                   "Space on disk of the files counted, each file with several names once.");
        out.sample(stats.onDisk.files);
    }
    out.family("quillix_unreadable_folders", "Folders the run could not read.");
    out.sample(double(run.unreadable().count()));
    out.family("quillix_skipped_folders", "Folders not entered because of their name.");
    out.sample(double(run.unreadable().skipped()));
    out.family("quillix_aborted", "1 when the run was stopped before it had walked everything.");
    out.sample(run.aborted() ? 1 : 0);
    out.family("quillix_run_duration_seconds", "How long the run took.");
    out.sample(double(run.started().msecsTo(run.finished())) / 1000.0);
    out.family("quillix_run_end_time_seconds", "When the run ended, in seconds since 1970.");
    out.sample(double(run.finished().toMSecsSinceEpoch()) / 1000.0);

    const auto perTarget = [&](const char *name, const char *help, auto figure) {
        out.family(name, help);
        for (const CollectionRun::TargetOutcome &outcome : run.outcomes())
            if (outcome.state == CollectionRun::State::Walked)
                out.sample(figure(outcome), label("target", printableText(outcome.target.name)));
    };
    perTarget("quillix_target_files", "Files counted under a target.",
              [](const CollectionRun::TargetOutcome &target) { return double(target.files); });
    perTarget("quillix_target_bytes", "Size of the files under a target, in bytes.",
              [](const CollectionRun::TargetOutcome &target) { return target.bytes; });
    if (onDisk)
        perTarget("quillix_target_allocated_bytes",
                  "Space on disk of the files under a target, in bytes.",
                  [](const CollectionRun::TargetOutcome &target) { return target.allocated; });

    // The types that hold the most bytes, each a series of its own, and the rest as one: a
    // tree of many odd extensions never floods the collector with series.
    std::vector<ExtensionRow> types = stats.lbTypes.rows();
    std::stable_sort(types.begin(), types.end(), [](const ExtensionRow &a, const ExtensionRow &b) {
        return a.bytes > b.bytes;
    });
    if (types.size() > size_t(typeSeries)) {
        ExtensionRow rest;
        for (auto row = types.begin() + typeSeries; row != types.end(); ++row) {
            rest.files += row->files;
            rest.bytes += row->bytes;
            rest.allocated += row->allocated;
        }
        types.resize(size_t(typeSeries));
        types.push_back(rest);
    }
    const qsizetype listed = std::min<qsizetype>(qsizetype(types.size()), typeSeries);
    const auto perType = [&](const char *name, const char *help, auto figure) {
        out.family(name, help);
        for (qsizetype i = 0; i < qsizetype(types.size()); ++i)
            out.sample(double(figure(types[size_t(i)])),
                       label("type", i < listed ? printableFileName(types[size_t(i)].key)
                                                : QStringLiteral("(other)")));
    };
    perType("quillix_type_files", "Files of a type (extension) over the run's targets.",
            [](const ExtensionRow &row) { return row.files; });
    perType("quillix_type_bytes", "Size of the files of a type, in bytes.",
            [](const ExtensionRow &row) { return row.bytes; });
    if (onDisk)
        perType("quillix_type_allocated_bytes", "Space on disk of the files of a type, in bytes.",
                [](const ExtensionRow &row) { return row.allocated; });

    const auto perSize = [&](const char *name, const char *help, const auto &bands) {
        out.family(name, help);
        for (int band = 1; band <= ReportPage::sizeBandCount; ++band)
            out.sample(bands[size_t(band)],
                       label("band", printableText(ReportPage::sizeBandLabel(band))));
    };
    perSize("quillix_size_band_files", "Files in a size band.", stats.sizeCount);
    perSize("quillix_size_band_bytes", "Size of the files in a size band, in bytes.",
            stats.sizeBytes);
    if (onDisk)
        perSize("quillix_size_band_allocated_bytes",
                "Space on disk of the files in a size band, in bytes.", stats.onDisk.sizes);

    static const char *const stamps[ReportPage::stampCount] = {"accessed", "created", "modified"};
    const auto perAge = [&](const char *name, const char *help, auto bandsOf) {
        out.family(name, help);
        for (int stamp = 0; stamp < ReportPage::stampCount; ++stamp)
            for (int band = 0; band < ReportPage::ageBandCount; ++band)
                out.sample(bandsOf(stamp)[size_t(band)],
                           label("stamp", QString::fromLatin1(stamps[stamp])) + ',' +
                               label("band", printableText(ReportPage::ageBandLabel(band))));
    };
    perAge("quillix_age_band_files", "Files in an age band of a time stamp.",
           [&](int stamp) { return stats.ageCounts(stamp); });
    perAge("quillix_age_band_bytes", "Size of the files in an age band of a time stamp, in bytes.",
           [&](int stamp) { return stats.ageBytes(stamp); });
    if (onDisk)
        perAge("quillix_age_band_allocated_bytes",
               "Space on disk of the files in an age band of a time stamp, in bytes.",
               [&](int stamp) { return stats.onDisk.ages[size_t(stamp)]; });
    return out.text();
}

} // namespace PrometheusMetrics
