#include "JsonWriter.h"

#include "common/FileNameText.h"

#include <cmath>

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

void appendQuoted(QString &out, QStringView text)
{
    out += u'"';
    appendEscaped(out, text);
    out += u'"';
}

} // namespace

void JsonWriter::flush()
{
    if (m_sink && !m_text.isEmpty()) {
        m_sink(m_text);
        m_text.clear();
    }
}

void JsonWriter::spill()
{
    // In pieces of some tens of kilobytes: few writes, little memory.
    if (m_sink && m_text.size() >= 32768)
        flush();
}

void JsonWriter::beforeValue()
{
    spill();
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_firstInContainer.isEmpty()) {
        if (!m_firstInContainer.last())
            m_text += QStringLiteral(", ");
        m_firstInContainer.last() = false;
    }
}

void JsonWriter::beginObject()
{
    beforeValue();
    m_text += u'{';
    m_firstInContainer.append(true);
}

void JsonWriter::endObject()
{
    m_firstInContainer.removeLast();
    m_text += u'}';
}

void JsonWriter::beginArray()
{
    beforeValue();
    m_text += u'[';
    m_firstInContainer.append(true);
}

void JsonWriter::endArray()
{
    m_firstInContainer.removeLast();
    m_text += u']';
}

void JsonWriter::key(const QString &name)
{
    beforeValue();
    appendQuoted(m_text, name);
    m_text += QLatin1StringView(": ");
    m_afterKey = true;
}

void JsonWriter::value(const QString &text)
{
    beforeValue();
    appendQuoted(m_text, text);
}

void JsonWriter::value(double number)
{
    beforeValue();
    if (!std::isfinite(number))
        m_text += QStringLiteral("null");
    else if (number == std::trunc(number) && std::fabs(number) < 9.2e18) // whole up to 2^63
        m_text += QString::number(qint64(number));
    else
        m_text += QString::number(number, 'g', 17);
}

void JsonWriter::null()
{
    beforeValue();
    m_text += QStringLiteral("null");
}

void JsonWriter::fileName(QByteArrayView name)
{
    beforeValue();
    m_text += u'"';
    decodeFileName(
        name, [this](QStringView text) { appendEscaped(m_text, text); },
        [this](uchar byte) {
            m_text += QStringLiteral("\\udc%1").arg(uint(byte), 2, 16, QLatin1Char('0'));
        });
    m_text += u'"';
}

void JsonWriter::value(bool flag)
{
    beforeValue();
    m_text += flag ? QStringLiteral("true") : QStringLiteral("false");
}
