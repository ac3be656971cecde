#include "FileNameText.h"

#include <QStringDecoder>

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

QString printableFileName(QByteArrayView name)
{
    QString out;
    auto escaped = [&out](uint code) {
        out += QStringLiteral("\\x%1").arg(code, 2, 16, QLatin1Char('0'));
    };
    decodeFileName(
        name,
        [&](QStringView text) {
            for (const QChar c : text) {
                const char16_t code = c.unicode();
                if (code < 0x20 || code == 0x7F || (code >= 0x80 && code < 0xA0))
                    escaped(code);
                else if (code == u'\\')
                    out += QStringLiteral("\\\\");
                else
                    out += c;
            }
        },
        escaped);
    return out;
}
