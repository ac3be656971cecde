#pragma once

#include "platform/DirEntry.h"

#include <QString>

#include <array>

// The pages of a run's report, in the statistics window's notebook order, and the rows of their
// listings: the one place they are named. The window's tabs, the report's tables, the lists of
// files, the exports and the comparison of kept runs all read them from here.
namespace ReportPage {

enum Page { Space, Types, Sizes, Overhang, Access, Created, Modified, Combined, Attribute, Time };
constexpr int pageCount = 10;

// "Space", "Types", ... "Time": the notebook's tab captions and the tables' titles.
QString title(int page);

// The three time stamps are numbered as the accumulators keep them: 0 accessed, 1 created,
// 2 modified.
constexpr int stampCount = 3;
constexpr Page datePage(int stamp)
{
    return Page(Access + stamp);
}
// "Accessed Date", "Created Date", "Modified Date": the heading of a date page's listing.
QString dateHeading(int stamp);

constexpr int sizeBandCount = 12; // bands 1 to 12
constexpr int ageBandCount = 10;  // bands 0 ("Not recorded") to 9
// "0 - 16K" ... "Over 16MB" for bands 1 to 12; empty for any other.
QString sizeBandLabel(int band);
// "Not recorded", "<= 7 days" ... "Over 4 years" for bands 0 to 9; empty for any other.
QString ageBandLabel(int band);

// The Attribute page's rows, top to bottom.
constexpr std::array<quint32, 4> attributeRows{faHidden, faReadOnly, faSystem, faArchive};
// "Hidden", "Read-only", "System", "Archive"; empty for any other bit.
QString attributeLabel(quint32 bit);

} // namespace ReportPage
