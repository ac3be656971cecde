#include "DecimalNumber.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

DecimalNumber DecimalNumber::fromDouble(double value)
{
    DecimalNumber number;
    if (value == 0.0 || !std::isfinite(value))
        return number;
    char text[64];
    const auto result =
        std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::scientific);
    const std::string_view scientific(text, static_cast<size_t>(result.ptr - text));
    const size_t e = scientific.find('e');
    for (char c : scientific.substr(0, e))
        if (c != '.')
            number.m_digits.push_back(c);
    number.m_exponent = std::atoi(std::string(scientific.substr(e + 1)).c_str()) + 1;
    while (!number.m_digits.empty() && number.m_digits.back() == '0')
        number.m_digits.pop_back();
    number.m_negative = value < 0;
    return number;
}

DecimalNumber DecimalNumber::fromInteger(qint64 value)
{
    DecimalNumber number;
    if (value == 0)
        return number;
    // Through unsigned arithmetic, so that the smallest qint64 has a magnitude too.
    quint64 magnitude = value < 0 ? 0 - static_cast<quint64>(value) : static_cast<quint64>(value);
    number.m_digits = std::to_string(magnitude);
    number.m_exponent = static_cast<int>(number.m_digits.size());
    while (number.m_digits.back() == '0')
        number.m_digits.pop_back();
    number.m_negative = value < 0;
    return number;
}

void DecimalNumber::roundToDecimals(int decimals)
{
    if (!isZero())
        roundAtDigit(m_exponent + decimals);
}

void DecimalNumber::roundToSignificant(int significant)
{
    if (!isZero())
        roundAtDigit(significant);
}

void DecimalNumber::roundAtDigit(int keep)
{
    if (keep >= static_cast<int>(m_digits.size()))
        return;
    if (keep < 0) {
        *this = DecimalNumber();
        return;
    }
    const bool up = m_digits[static_cast<size_t>(keep)] >= '5';
    m_digits.resize(static_cast<size_t>(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && m_digits[static_cast<size_t>(i)] == '9')
            m_digits[static_cast<size_t>(i--)] = '0';
        if (i >= 0) {
            ++m_digits[static_cast<size_t>(i)];
        } else {
            m_digits.insert(m_digits.begin(), '1');
            ++m_exponent;
        }
    }
    while (!m_digits.empty() && m_digits.back() == '0')
        m_digits.pop_back();
    if (m_digits.empty())
        *this = DecimalNumber();
}

std::string DecimalNumber::integerDigits() const
{
    if (m_exponent <= 0)
        return "0";
    std::string whole = m_digits.substr(0, static_cast<size_t>(m_exponent));
    whole.resize(static_cast<size_t>(m_exponent), '0');
    return whole;
}

std::string DecimalNumber::fractionDigits(int count) const
{
    std::string fraction;
    for (int position = m_exponent; position < m_exponent + count; ++position) {
        const bool stored = position >= 0 && position < static_cast<int>(m_digits.size());
        fraction.push_back(stored ? m_digits[static_cast<size_t>(position)] : '0');
    }
    return fraction;
}

QString groupDigits(const std::string &digits, const QString &separator)
{
    QString grouped;
    grouped.reserve(static_cast<qsizetype>(digits.size() + digits.size() / 3 * separator.size()));
    const size_t count = digits.size();
    for (size_t i = 0; i < count; ++i) {
        if (i > 0 && (count - i) % 3 == 0)
            grouped += separator;
        grouped += QLatin1Char(digits[i]);
    }
    return grouped;
}
