#include "RegionalSettings.h"

#include <QLocale>

namespace {

RegionalSettings &storage()
{
    static RegionalSettings settings = RegionalSettings::fromSystem();
    return settings;
}

} // namespace

const RegionalSettings &RegionalSettings::current()
{
    return storage();
}

void RegionalSettings::pin(const RegionalSettings &settings)
{
    storage() = settings;
}

RegionalSettings RegionalSettings::fromSystem()
{
    const QLocale system = QLocale::system();
    RegionalSettings settings;
    // A locale without a grouping character still needs one to group with.
    if (!system.groupSeparator().isEmpty())
        settings.thousandSeparator = system.groupSeparator();
    if (!system.decimalPoint().isEmpty())
        settings.decimalSeparator = system.decimalPoint();
    settings.shortTimeFormat = system.timeFormat(QLocale::ShortFormat);
    return settings;
}
