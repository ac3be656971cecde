#include "Utility.h"

#include "DecimalNumber.h"
#include "RegionalSettings.h"
#include "platform/Messages.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

QString digitsOnly(QStringView text)
{
    QString digits;
    for (QChar c : text)
        if (c >= u'0' && c <= u'9')
            digits += c;
    return digits;
}

void showError(const QString &message)
{
    Messages::current().beep();
    Messages::current().errorBox(message);
}

void showInfo(const QString &message)
{
    Messages::current().infoBox(message);
}

qint32 textToInt(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    int base = 10;
    if (i < text.size() && text[i] == u'$') {
        base = 16;
        ++i;
    }
    if (i == text.size())
        return 0;
    qint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0)
            return 0;
        magnitude = magnitude * base + digit;
        if (magnitude > qint64(std::numeric_limits<qint32>::max()) + 1)
            return 0;
    }
    const qint64 value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<qint32>::max())
        return 0;
    return static_cast<qint32>(value);
}

double textToFloat(QStringView text)
{
    const QString &decimalSeparator = RegionalSettings::current().decimalSeparator;
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    const QStringView number = text.sliced(begin, end - begin);

    // Rewritten in the C form for from_chars, which takes neither "+" nor a local separator.
    std::string plain;
    qsizetype i = 0;
    if (i < number.size() && (number[i] == u'-' || number[i] == u'+')) {
        if (number[i] == u'-')
            plain.push_back('-');
        ++i;
    }
    auto takeDigits = [&] {
        int count = 0;
        for (; i < number.size() && number[i] >= u'0' && number[i] <= u'9'; ++i, ++count)
            plain.push_back(char(number[i].unicode()));
        return count;
    };
    int mantissaDigits = takeDigits();
    if (!decimalSeparator.isEmpty() && number.sliced(i).startsWith(decimalSeparator)) {
        i += decimalSeparator.size();
        plain.push_back('.');
        mantissaDigits += takeDigits();
    }
    if (mantissaDigits == 0)
        return 0.0;
    if (i < number.size() && (number[i] == u'e' || number[i] == u'E')) {
        plain.push_back('e');
        ++i;
        if (i < number.size() && (number[i] == u'-' || number[i] == u'+'))
            plain.push_back(char(number[i++].unicode()));
        if (takeDigits() == 0)
            return 0.0;
    }
    if (i != number.size())
        return 0.0;

    double value = 0.0;
    const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (result.ec != std::errc() || !std::isfinite(value))
        return 0.0;
    return value;
}

namespace {

QString groupedText(const DecimalNumber &number)
{
    const QString grouped =
        groupDigits(number.integerDigits(), RegionalSettings::current().thousandSeparator);
    return number.isNegative() ? u'-' + grouped : grouped;
}

} // namespace

QString intToGrouped(qint64 value)
{
    return groupedText(DecimalNumber::fromInteger(value));
}

QString floatToGrouped(double value)
{
    if (!std::isfinite(value))
        return QString();
    // From 2^53 on every double is a whole number; its digits are written exactly.
    if (std::fabs(value) >= 9007199254740992.0 && std::fabs(value) < 9223372036854775808.0)
        return intToGrouped(qint64(value));
    // Counts and byte totals are written in whole digits up to 2^63 (19 digits); only what
    // lies beyond takes the general form.
    constexpr int precision = 14;
    constexpr int wholeDigits = 19;
    DecimalNumber number = DecimalNumber::fromDouble(value);
    if (number.exponent() > wholeDigits) {
        DecimalNumber significant = number;
        significant.roundToSignificant(precision);
        // General form: mantissa without trailing zeros, "E", the exponent with a sign only
        // when negative.
        const std::string &digits = significant.significantDigits();
        QString text = number.isNegative() ? QStringLiteral("-") : QString();
        text += QLatin1Char(digits[0]);
        if (digits.size() > 1) {
            text += RegionalSettings::current().decimalSeparator;
            text += QString::fromLatin1(digits.data() + 1, qsizetype(digits.size() - 1));
        }
        return text + u'E' + QString::number(significant.exponent() - 1);
    }
    number.roundToDecimals(0);
    return groupedText(number);
}

EntryKind classifyEntry(const DirEntry &entry)
{
    if (entry.name.startsWith('.') && (entry.name == "." || entry.name == ".."))
        return ekDotEntry;
    return entry.attributes & faDirectory ? ekDirectory : ekFile;
}

QString tabField(QStringView row, int n)
{
    if (n < 1)
        return QString();
    int field = 1;
    qsizetype begin = -1;
    qsizetype end = -1;
    for (qsizetype i = 0; i < row.size(); ++i) {
        if (row[i] == u'\t') {
            if (++field > n)
                break;
            continue;
        }
        if (field == n) {
            if (begin < 0)
                begin = i;
            end = i + 1;
        }
    }
    if (begin < 0)
        return QString();
    while (begin < end && row[begin].unicode() <= 32)
        ++begin;
    while (end > begin && row[end - 1].unicode() <= 32)
        --end;
    return row.sliced(begin, end - begin).toString();
}

PackedFileDate accessedDate(const DirEntry &entry)
{
    return entry.accessed.packed();
}

PackedFileDate createdDate(const DirEntry &entry)
{
    return entry.created.packed();
}

PackedFileDate modifiedDate(const DirEntry &entry)
{
    return entry.modified.packed();
}

QString driveTypeText(quint32 driveType)
{
    switch (driveType) {
    case 2:
        return QStringLiteral("(Removable disk)");
    case 3:
        return QStringLiteral("(Fixed disk)");
    case 4:
        return QStringLiteral("(Remote disk)");
    case 5:
        return QStringLiteral("(CD-ROM)");
    case 6:
        return QStringLiteral("(RAM-Disk)");
    default:
        return QString();
    }
}
