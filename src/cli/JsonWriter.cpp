#include "JsonWriter.h"

#include "common/FileNameText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <iterator>
#include <type_traits>

namespace {

bool needsEscape(char16_t c)
{
    return c == u'"' || c == u'\\' || isHiddenControl(c);
}

// Appends text with the characters JSON or a reader's eye needs escaped; the runs between them
// are appended whole.
void appendEscaped(QString &out, QStringView text)
{
    qsizetype run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (!needsEscape(c))
            continue;
        out += text.sliced(run, i - run);
        run = i + 1;
        switch (c) {
        case u'"':
            out += QLatin1StringView("\\\"");
            break;
        case u'\\':
            out += QLatin1StringView("\\\\");
            break;
        case u'\n':
            out += QLatin1StringView("\\n");
            break;
        case u'\t':
            out += QLatin1StringView("\\t");
            break;
        case u'\r':
            out += QLatin1StringView("\\r");
            break;
        default:
            // Controls and the marks that turn the direction of text are written as escapes:
            // the same string to a reader, nothing hidden to an eye.
            out += QStringLiteral("\\u%1").arg(uint(c), 4, 16, QLatin1Char('0'));
        }
    }
    out += text.sliced(run);
}

// Printable ASCII other than a quote or a backslash: written as it is, its code its byte.
constexpr bool isPlain(char32_t code)
{
    return code >= 0x20 && code < 0x7F && code != U'"' && code != U'\\';
}

// The same for a byte, by a table: names and paths are checked byte by byte.
constexpr auto plainBytes = [] {
    std::array<bool, 256> table{};
    for (char32_t code = 0; code < 256; ++code)
        table[code] = isPlain(code);
    return table;
}();

bool allPlain(const char *bytes, qsizetype size)
{
    return std::all_of(bytes, bytes + size, [](char c) { return plainBytes[uchar(c)]; });
}

} // namespace

void JsonWriter::appendQuoted(QStringView text)
{
    // Keys, labels and dates mostly are printable ASCII with nothing to escape: their
    // characters are written as bytes straight into the text, in one piece.
    const size_t at = m_size;
    char *out = room(size_t(text.size()) + 2);
    *out++ = '"';
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (!isPlain(code)) {
            QString escaped;
            appendEscaped(escaped, text);
            m_size = at;
            put('"');
            put(escaped.toStdString());
            put('"');
            return;
        }
        *out++ = char(code);
    }
    *out = '"';
}

void JsonWriter::flush()
{
    if (m_sink && m_size > 0) {
        m_sink(QByteArrayView(m_text.data(), qsizetype(m_size)));
        m_size = 0; // keeps the room for the next piece
    }
}

void JsonWriter::spill()
{
    // In pieces of some tens of kilobytes: few writes, little memory.
    if (m_sink && m_size >= 32768)
        flush();
}

void JsonWriter::beforeValue()
{
    spill();
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_firstInContainer.empty()) {
        if (!m_firstInContainer.back())
            put(", ");
        m_firstInContainer.back() = false;
    }
}

void JsonWriter::beginObject()
{
    beforeValue();
    put('{');
    m_firstInContainer.push_back(true);
}

void JsonWriter::endObject()
{
    m_firstInContainer.pop_back();
    put('}');
}

void JsonWriter::beginArray()
{
    beforeValue();
    put('[');
    m_firstInContainer.push_back(true);
}

void JsonWriter::endArray()
{
    m_firstInContainer.pop_back();
    put(']');
}

template <typename View> void JsonWriter::appendQuotedBytes(View text)
{
    const auto bytes = text.data();
    const qsizetype size = text.size();
    if (!allPlain(bytes, size)) {
        appendQuoted(text.toString());
        return;
    }
    char *const out = room(size_t(size) + 2);
    out[0] = '"';
    std::memcpy(out + 1, bytes, size_t(size));
    out[size + 1] = '"';
}

void JsonWriter::key(QAnyStringView name)
{
    beforeValue();
    name.visit([this](auto view) {
        if constexpr (std::is_same_v<decltype(view), QStringView>)
            appendQuoted(view);
        else
            appendQuotedBytes(view);
    });
    put(": ");
    m_afterKey = true;
}

void JsonWriter::value(const QString &text)
{
    beforeValue();
    appendQuoted(text);
}

void JsonWriter::value(QLatin1StringView text)
{
    beforeValue();
    appendQuotedBytes(text);
}

void JsonWriter::value(double number)
{
    beforeValue();
    if (!std::isfinite(number))
        put("null");
    else if (number == std::trunc(number) && std::fabs(number) < 9.2e18) { // whole up to 2^63
        char digits[24];
        const auto written = std::to_chars(std::begin(digits), std::end(digits), qint64(number));
        put(std::string_view(digits, size_t(written.ptr - digits)));
    } else {
        put(QByteArray::number(number, 'g', 17).toStdString());
    }
}

void JsonWriter::null()
{
    beforeValue();
    put("null");
}

void JsonWriter::fileName(QByteArrayView name)
{
    beforeValue();
    put('"');
    if (allPlain(name.data(), name.size())) {
        put(std::string_view(name.data(), size_t(name.size()))); // printable ASCII: as it is
    } else {
        QString text;
        decodeFileName(
            name, [&text](QStringView run) { appendEscaped(text, run); },
            [&text](uchar byte) {
                text += QStringLiteral("\\udc%1").arg(uint(byte), 2, 16, QLatin1Char('0'));
            });
        put(text.toStdString());
    }
    put('"');
}

void JsonWriter::value(bool flag)
{
    beforeValue();
    put(flag ? "true" : "false");
}
