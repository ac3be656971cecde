#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <string>

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
    void key(const QString &name);
    void value(const QString &text);
    // Whole numbers are written without a fraction.
    void value(double number);
    void value(bool flag);
    void null();
    // A file name or path as a string: valid UTF-8 as text, every other byte as the escape
    // \udcXX (XX the byte), so that no byte is lost and the text stays valid JSON.
    void fileName(QByteArrayView name);
    // A member of the object being written: its key, then its value.
    template <typename T> void member(const QString &name, const T &value)
    {
        key(name);
        this->value(value);
    }
    void member(const QString &name, qint64 number) { member(name, double(number)); }
    void member(const QString &name, int number) { member(name, double(number)); }

    // What is written and not yet handed to a sink.
    QString text() const { return QString::fromUtf8(m_text.data(), qsizetype(m_text.size())); }

private:
    void beforeValue();
    void spill();
    void appendQuoted(QStringView text);

    Sink m_sink;
    std::string m_text; // UTF-8; small pieces are appended inline
    QList<bool> m_firstInContainer;
    bool m_afterKey = false;
};
