#include "ReportPage.h"

QString ReportPage::title(int page)
{
    static const char *const titles[pageCount] = {"Space",     "Types",   "Sizes",    "Overhang",
                                                  "Access",    "Created", "Modified", "Combined",
                                                  "Attribute", "Time"};
    return page >= 0 && page < pageCount ? QString::fromLatin1(titles[page]) : QString();
}

QString ReportPage::dateHeading(int stamp)
{
    static const char *const headings[stampCount] = {"Accessed Date", "Created Date",
                                                     "Modified Date"};
    return stamp >= 0 && stamp < stampCount ? QString::fromLatin1(headings[stamp]) : QString();
}

QString ReportPage::sizeBandLabel(int band)
{
    static const char *const labels[sizeBandCount] = {
        "0 - 16K",    "16K - 32K", "32K - 64K", "64K - 128K", "128K - 256K", "256K - 512K",
        "512K - 1MB", "1MB - 2MB", "2MB - 4MB", "4MB - 8MB",  "8MB - 16MB",  "Over 16MB"};
    return band >= 1 && band <= sizeBandCount ? QString::fromLatin1(labels[band - 1]) : QString();
}

QString ReportPage::ageBandLabel(int band)
{
    static const char *const labels[ageBandCount] = {
        "Not recorded",   "<= 7 days",   "8 - 30 days", "31 - 60 days", "61 - 120 days",
        "121 - 365 days", "1 - 2 years", "2 - 3 years", "3 - 4 years",  "Over 4 years"};
    return band >= 0 && band < ageBandCount ? QString::fromLatin1(labels[band]) : QString();
}

QString ReportPage::attributeLabel(quint32 bit)
{
    switch (bit) {
    case faHidden:
        return QStringLiteral("Hidden");
    case faReadOnly:
        return QStringLiteral("Read-only");
    case faSystem:
        return QStringLiteral("System");
    case faArchive:
        return QStringLiteral("Archive");
    default:
        return QString();
    }
}
