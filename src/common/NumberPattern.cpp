#include "NumberPattern.h"

#include "DecimalNumber.h"
#include "RegionalSettings.h"

#include <cmath>

namespace {

bool isPlaceholder(QChar c)
{
    return c == u'#' || c == u'0' || c == u',' || c == u'.';
}

struct Picture {
    QString prefix;
    QString suffix;
    bool grouped = false;
    int minWholeDigits = 0;
    int minDecimals = 0;
    int maxDecimals = 0;
};

Picture parsePicture(const QString &pattern)
{
    Picture picture;
    qsizetype start = 0;
    while (start < pattern.size() && !isPlaceholder(pattern[start]))
        ++start;
    qsizetype end = start;
    while (end < pattern.size() && isPlaceholder(pattern[end]))
        ++end;
    picture.prefix = pattern.left(start);
    picture.suffix = pattern.mid(end);

    bool inFraction = false;
    for (qsizetype i = start; i < end; ++i) {
        const QChar c = pattern[i];
        if (c == u'.') {
            inFraction = true;
        } else if (c == u',') {
            picture.grouped = picture.grouped || !inFraction;
        } else if (inFraction) {
            ++picture.maxDecimals;
            if (c == u'0')
                picture.minDecimals = picture.maxDecimals;
        } else if (c == u'0') {
            ++picture.minWholeDigits;
        }
    }
    return picture;
}

} // namespace

double patternResolution(const QString &pattern)
{
    return std::pow(10.0, -parsePicture(pattern).maxDecimals);
}

QString formatFloat(const QString &pattern, double value)
{
    if (!std::isfinite(value))
        return QString();
    const Picture picture = parsePicture(pattern);
    const RegionalSettings &regional = RegionalSettings::current();

    DecimalNumber number = DecimalNumber::fromDouble(value);
    number.roundToDecimals(picture.maxDecimals);

    std::string whole = number.integerDigits();
    if (whole == "0")
        whole.clear();
    if (static_cast<int>(whole.size()) < picture.minWholeDigits)
        whole.insert(0, static_cast<size_t>(picture.minWholeDigits) - whole.size(), '0');

    std::string fraction = number.fractionDigits(picture.maxDecimals);
    while (static_cast<int>(fraction.size()) > picture.minDecimals && fraction.back() == '0')
        fraction.pop_back();

    QString text = picture.prefix;
    if (number.isNegative())
        text += u'-';
    text += picture.grouped
                ? groupDigits(whole, regional.thousandSeparator)
                : QString::fromLatin1(whole.data(), static_cast<qsizetype>(whole.size()));
    if (!fraction.empty()) {
        text += regional.decimalSeparator;
        text += QString::fromLatin1(fraction.data(), static_cast<qsizetype>(fraction.size()));
    }
    text += picture.suffix;
    return text;
}
