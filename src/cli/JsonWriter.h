#pragma once

#include <QAnyStringView>
#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string_view>
#include <vector>

// Writes JSON text, as UTF-8, with the members in the order they are written. With a sink, the
// text goes to it in pieces as it is written, so that a document of any size takes little
// memory.
class JsonWriter {
public:
    using Sink = std::function<void(QByteArrayView)>;

    JsonWriter() = default;
    explicit JsonWriter(Sink sink) : m_sink(std::move(sink)) {}
    // Hands what is written so far to the sink.
    void flush();

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    // Keys are mostly the program's own literals: as bytes they are copied without decoding.
    void key(QAnyStringView name);
    void value(const QString &text);
    // Text made by the program in Latin-1 (dates, attribute letters), escaped as any text is.
    void value(QLatin1StringView text);
    // Whole numbers are written without a fraction.
    void value(double number);
    void value(bool flag);
    void null();
    // A file name or path as a string: valid UTF-8 as text, every other byte as the escape
    // \udcXX (XX the byte), so that no byte is lost and the text stays valid JSON.
    void fileName(QByteArrayView name);
    // A member of the object being written: its key, then its value.
    template <typename T> void member(QAnyStringView name, const T &value)
    {
        key(name);
        this->value(value);
    }
    void member(QAnyStringView name, qint64 number) { member(name, double(number)); }
    void member(QAnyStringView name, int number) { member(name, double(number)); }

    // What is written and not yet handed to a sink.
    QString text() const { return QString::fromUtf8(m_text.data(), qsizetype(m_size)); }

private:
    void beforeValue();
    void spill();
    void appendQuoted(QStringView text);
    // Bytes that are one character each (ASCII, or Latin-1 as the view says); the text is
    // decoded and escaped as a QString where any is not plain.
    template <typename View> void appendQuotedBytes(View text);

    // Room for n more bytes at the end of the text, where they are to be written: most pieces
    // are a few bytes, and an append of the standard string costs tens of instructions each.
    char *room(size_t n)
    {
        if (m_text.size() - m_size < n)
            m_text.resize(std::max(2 * m_text.size(), m_size + n));
        char *const at = m_text.data() + m_size;
        m_size += n;
        return at;
    }
    void put(std::string_view bytes)
    {
        if (!bytes.empty())
            std::memcpy(room(bytes.size()), bytes.data(), bytes.size());
    }
    void put(char byte) { *room(1) = byte; }

    Sink m_sink;
    std::vector<char> m_text = std::vector<char>(65536); // UTF-8, the first m_size bytes written
    size_t m_size = 0;
    std::vector<char> m_firstInContainer; // per open container: nothing written in it yet
    bool m_afterKey = false;
};
