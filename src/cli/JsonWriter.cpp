#include "JsonWriter.h"

#include "common/FileNameText.h"

#include <cmath>

namespace {

void appendEscaped(QString &out, QStringView text)
{
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'"':
            out += QStringLiteral("\\\"");
            break;
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        default:
            // Controls and the marks that turn the direction of text are written as escapes:
            // the same string to a reader, nothing hidden to an eye.
            if (isHiddenControl(c.unicode()))
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
}

QString quoted(const QString &text)
{
    QString out = QStringLiteral("\"");
    appendEscaped(out, text);
    return out + u'"';
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
    m_text += quoted(name) + QStringLiteral(": ");
    m_afterKey = true;
}

void JsonWriter::value(const QString &text)
{
    beforeValue();
    m_text += quoted(text);
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
