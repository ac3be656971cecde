#pragma once

#include <QString>

// Formats value by a picture such as "#,##0.0## GB" or "##0.# %":
//   0  a digit that is always written;  #  a digit written only when it is significant;
//   ,  anywhere in the whole part: group the whole part by thousands;
//   .  the decimal point; with no digit places after it, no decimals are written;
// everything before the first and after the last of these characters is literal text ("%" too).
// Rounds half away from zero and uses the user's separators. A value that is not finite gives
// the empty text.
QString formatFloat(const QString &pattern, double value);

// The smallest step between two values that pattern writes differently: 1 for "#,##0",
// 0.01 for "#,##0.0#".
double patternResolution(const QString &pattern);
