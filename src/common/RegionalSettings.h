#pragma once

#include <QString>

// The user's number and time conventions. They are read once at start-up from the system locale
// and never follow later changes of it, so every window formats alike for the whole session.
// Tests pin them with pin().
struct RegionalSettings {
    QString thousandSeparator = QStringLiteral(",");
    QString decimalSeparator = QStringLiteral(".");
    QString shortTimeFormat = QStringLiteral("HH:mm");

    // The settings in force; the system's own until pin() is called.
    static const RegionalSettings &current();
    static void pin(const RegionalSettings &settings);
    static RegionalSettings fromSystem();
};
