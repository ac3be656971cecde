#pragma once

#include <QList>
#include <QString>

// Writes JSON text with the members in the order they are written.
class JsonWriter {
public:
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

    QString text() const { return m_text; }

private:
    void beforeValue();

    QString m_text;
    QList<bool> m_firstInContainer;
    bool m_afterKey = false;
};
