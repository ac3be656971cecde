#pragma once

#include "platform/FileTypeRegistry.h"

#include <QHash>

// A registry of keys and values given by the test; key names compare without case, as the
// system's do. Installs itself while it lives.
class FakeFileTypeRegistry final : public FileTypeRegistry {
public:
    FakeFileTypeRegistry();
    ~FakeFileTypeRegistry() override;

    void set(const QString &key, const QString &value);
    QString defaultValue(const QString &key) const override;
    QStringList keyNames() const override { return m_names; }

private:
    QHash<QString, QString> m_values;
    QStringList m_names;
};
