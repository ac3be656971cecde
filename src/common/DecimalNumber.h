#pragma once

#include <QString>
#include <string>

// A finite double as the decimal digits a reader would write for it, with rounding half away
// from zero at a chosen place. Formatting rounds this way instead of through printf, whose
// round-half-even on the binary value turns 0.125 into "0.12" and 2.675 into "2.67".
class DecimalNumber {
public:
    // The shortest decimal text that reads back as the same double; value must be finite.
    static DecimalNumber fromDouble(double value);
    static DecimalNumber fromInteger(qint64 value);

    bool isZero() const { return m_digits.empty(); }
    bool isNegative() const { return m_negative; }
    // The number of digits before the decimal point (negative or 0 for values below 0.1).
    int exponent() const { return m_exponent; }

    void roundToDecimals(int decimals);
    void roundToSignificant(int significant);

    // The whole part's digits without leading zeros; "0" for a value below 1.
    std::string integerDigits() const;
    // The first count digits after the decimal point, padded with zeros.
    std::string fractionDigits(int count) const;
    // All significant digits, as in a mantissa ("12345" for 1234.5).
    const std::string &significantDigits() const { return m_digits; }

private:
    void roundAtDigit(int keep);

    bool m_negative = false;
    std::string m_digits; // no leading or trailing zeros; empty for zero
    int m_exponent = 0;   // value = 0.<digits> * 10^exponent
};

// Digits written in groups of three from the right, separated by separator.
QString groupDigits(const std::string &digits, const QString &separator);
