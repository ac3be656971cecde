#include "TestEnvironment.h"

#include "common/RegionalSettings.h"
#include "platform/LocalTimeZone.h"

#include <QLocale>
#include <QStandardPaths>

void pinTimeZone(const QByteArray &timeZone)
{
    qputenv("TZ", timeZone);
    LocalTimeZone::reload();
}

void pinTestEnvironment(const QByteArray &timeZone)
{
    RegionalSettings settings;
    settings.thousandSeparator = QStringLiteral(",");
    settings.decimalSeparator = QStringLiteral(".");
    settings.shortTimeFormat = QStringLiteral("HH:mm");
    RegionalSettings::pin(settings);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QStandardPaths::setTestModeEnabled(true);
    pinTimeZone(timeZone);
}
