#pragma once

#include <QByteArray>

// Pins what results may depend on: separators "," and ".", the short time format "HH:mm",
// the English locale (MIME descriptions), a home folder of the test program's own with the
// configuration and data folders in test mode below it, and the time zone (Europe/Berlin
// unless another is named). Call from initTestCase.
void pinTestEnvironment(const QByteArray &timeZone = "Europe/Berlin");

// Switches the time zone of the file-date conversion, for tests of zone rules.
void pinTimeZone(const QByteArray &timeZone);

// ThreadSanitizer cannot follow a child that starts threads after a fork: tests that walk in a
// forked child skip under it (the ordinary build runs them).
#if defined(__SANITIZE_THREAD__)
constexpr bool walksInForkedChildren = false;
#else
constexpr bool walksInForkedChildren = true;
#endif
