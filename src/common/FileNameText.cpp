#include "FileNameText.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

// Length of the valid UTF-8 sequence at the start of bytes, or 0.
qsizetype validSequence(QByteArrayView bytes)
{
    const auto lead = uchar(bytes[0]);
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    char32_t code = 0;
    if ((lead & 0xE0) == 0xC0)
        length = 2, code = lead & 0x1F;
    else if ((lead & 0xF0) == 0xE0)
        length = 3, code = lead & 0x0F;
    else if ((lead & 0xF8) == 0xF0)
        length = 4, code = lead & 0x07;
    else
        return 0;
    if (bytes.size() < length)
        return 0;
    for (qsizetype i = 1; i < length; ++i) {
        const auto c = uchar(bytes[i]);
        if ((c & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (c & 0x3F);
    }
    static constexpr char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

void decodeFileName(QByteArrayView name, const std::function<void(QStringView)> &text,
                    const std::function<void(uchar)> &invalidByte)
{
    qsizetype start = 0;
    qsizetype at = 0;
    auto flush = [&] {
        if (at > start)
            text(QString::fromUtf8(name.sliced(start, at - start)));
    };
    while (at < name.size()) {
        const qsizetype length = validSequence(name.sliced(at));
        if (length > 0) {
            at += length;
            continue;
        }
        flush();
        invalidByte(uchar(name[at]));
        start = ++at;
    }
    flush();
}

bool isPlainName(QByteArrayView name)
{
    return std::all_of(name.begin(), name.end(),
                       [](char c) { return uchar(c) >= 0x20 && uchar(c) < 0x7F && c != '\\'; });
}

namespace {

void appendPrintable(QString &out, QStringView text)
{
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code < 0x20 || code == 0x7F)
            out += QStringLiteral("\\x%1").arg(uint(code), 2, 16, QLatin1Char('0'));
        else if (isHiddenControl(code))
            out += QStringLiteral("\\u%1").arg(uint(code), 4, 16, QLatin1Char('0'));
        else if (code == u'\\')
            out += QStringLiteral("\\\\");
        else
            out += c;
    }
}

} // namespace

QString printableFileName(QByteArrayView name)
{
    if (isPlainName(name))
        return QString::fromLatin1(name);
    QString out;
    decodeFileName(
        name, [&](QStringView text) { appendPrintable(out, text); },
        [&](uchar byte) {
            out += QStringLiteral("\\x%1").arg(uint(byte), 2, 16, QLatin1Char('0'));
        });
    return out;
}

QString withoutHiddenControls(const QString &text)
{
    if (std::none_of(text.begin(), text.end(),
                     [](QChar c) { return isHiddenControl(c.unicode()); }))
        return text;
    QString out;
    for (const QChar c : text) {
        if (isHiddenControl(c.unicode()))
            appendPrintable(out, QStringView(&c, 1));
        else
            out += c;
    }
    return out;
}

QString printableText(QStringView text)
{
    QString out;
    appendPrintable(out, text);
    return out;
}

QByteArray fileNameOfPrintable(QStringView printable)
{
    QByteArray bytes;
    auto hex = [&](qsizetype at, qsizetype digits, uint &value) {
        if (at + digits > printable.size())
            return false;
        bool ok = false;
        value = printable.sliced(at, digits).toUInt(&ok, 16);
        return ok;
    };
    for (qsizetype i = 0; i < printable.size(); ++i) {
        uint value = 0;
        if (printable[i] == u'\\' && i + 1 < printable.size()) {
            const QChar kind = printable[i + 1];
            if (kind == u'\\') {
                bytes += '\\';
                ++i;
                continue;
            }
            if (kind == u'x' && hex(i + 2, 2, value)) {
                bytes += char(value);
                i += 3;
                continue;
            }
            if (kind == u'u' && hex(i + 2, 4, value)) {
                bytes += QString(QChar(char16_t(value))).toUtf8();
                i += 5;
                continue;
            }
        }
        // A character on its own, or a pair of surrogates as one.
        const qsizetype length = printable[i].isHighSurrogate() && i + 1 < printable.size() ? 2 : 1;
        bytes += printable.sliced(i, length).toUtf8();
        i += length - 1;
    }
    return bytes;
}
