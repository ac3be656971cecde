#include "TestEnvironment.h"

#include "common/RegionalSettings.h"
#include "platform/LocalTimeZone.h"

#include <QFile>
#include <QLocale>
#include <QStandardPaths>
#include <QTemporaryDir>

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
    // A home of this test program's own, removed when it ends: test programs run side by side,
    // and one's settings file or history must never be another's.
    static QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    QStandardPaths::setTestModeEnabled(true);
    pinTimeZone(timeZone);
}
