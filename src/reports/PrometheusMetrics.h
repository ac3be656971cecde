#pragma once

#include <QByteArray>

class CollectionRun;

// A run's figures in Prometheus' text exposition format (0.0.4), for node_exporter's textfile
// collector: the run's counters, duration and end time; per target its files and bytes; per
// type, size band and age band (of each time stamp) the files and bytes of the whole run. The
// space on disk goes beside the bytes when the run counted it. The types are the hundred with
// the most bytes and the rest together. Every metric is a gauge named quillix_..., with its
// HELP and TYPE lines. Label values are types, bands and targets only, never a file's name,
// and are written as a listing shows them (controls and turning marks escaped), then escaped
// as the format asks.
namespace PrometheusMetrics {

// The types with the most bytes that get series of their own; the others are summed under the
// type "(other)" (no extension is written so: every one is empty or starts with a dot).
constexpr int typeSeries = 100;

QByteArray text(const CollectionRun &run);

} // namespace PrometheusMetrics
