#pragma once

#include "TextTable.h"
#include "collection/FileLists.h"

#include <QHash>
#include <QList>

#include <array>

class FolderTree;
class StatAccumulators;

// A row of a page whose files can be listed: the page, the row's label as the page shows
// it, the row in the run's lists and how many files the row counts.
struct ListedRow {
    QString page;
    QString label;
    ListRow row;
    qint64 files = 0;

    // "Types .ISO" or "Time Modified 08:30": which row a list of files belongs to.
    QString name() const { return page + u' ' + label; }
};

// The rows of the pages, the texts of a kept file and the tables of the lists, for the window
// and the headless report alike.
namespace FileListPages {

// The label of a row in a menu that offers the files of several rows.
QString menuText(const ListRow &row);

// Every row of every page with files, in page order: Types, Sizes, Access, Created, Modified,
// Attribute, Time.
QList<ListedRow> rowsOf(const StatAccumulators &stats);
// The row of a page's listing: the extension key of the Types row; a band of Sizes (1 to 12)
// or of a date page (0 to 9); an attribute bit; a half-hour slot with its stamp.
ListedRow typesRow(const StatAccumulators &stats, const QByteArray &key);
ListedRow sizesRow(const StatAccumulators &stats, int band);
ListedRow ageRow(const StatAccumulators &stats, ListRow::Kind stamp, int band);
ListedRow attributeRow(const StatAccumulators &stats, quint32 bit);
ListedRow slotRow(const StatAccumulators &stats, ListRow::Kind stamp, int slot);
// Any of the above, by the row's kind.
ListedRow listedRow(const StatAccumulators &stats, const ListRow &row);

// "the 100 largest of 12,345 files", or "all 12 files" when every file of the row is listed.
QString listedText(qsizetype listed, qint64 files);
// Local date and time of a stamp, as the listings write times; empty when not recorded.
QString dateText(PackedFileDate date);
// ISO 8601 local time ("2026-12-08T14:30:00"), for JSON, written into buffer; empty when not
// recorded.
using IsoDateBuffer = std::array<char, 19>;
QLatin1StringView isoDateText(PackedFileDate date, IsoDateBuffer &buffer);
// The attribute letters R, H, S and A of those set, written into buffer.
using AttributeBuffer = std::array<char, 4>;
QLatin1StringView attributeLetters(quint32 attributes, AttributeBuffer &buffer);
QString attributeText(quint32 attributes);
// The descriptions of the run's extensions that the register leaves open between several
// types: decided by the first 4 KB of the largest kept file of the extension (read once), or
// the candidates' descriptions joined with " or " when there is none, it is empty or cannot be
// read, or it does not tell. Reads files: a window calls it off its own thread.
QHash<QByteArray, QString> ambiguousTypes(const StatAccumulators &stats, const FileLists &lists);

// One table per page: each listed file of each of its rows, with size, modified date and path.
QList<TextTable> filesTables(const QList<ListedRow> &rows, const FileLists &lists);
// The largest folders of every target of the run.
QList<TextTable> folderTables(const FileLists &lists);
// The run's folder tree to depth levels below its targets, largest first: size, space on disk
// (with onDisk), files and the share of the folder above. indented: each folder by its name,
// two blanks further in per level (a page of text); otherwise by its whole path (a CSV table).
TextTable folderTreeTable(const FolderTree &tree, int depth, bool onDisk, bool indented);

} // namespace FileListPages
