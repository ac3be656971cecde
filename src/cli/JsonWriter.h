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

    QString text() const { return m_text; }

private:
    void beforeValue();

    QString m_text;
    QList<bool> m_firstInContainer;
    bool m_afterKey = false;
};
