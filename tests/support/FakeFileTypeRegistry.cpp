#include "FakeFileTypeRegistry.h"

FakeFileTypeRegistry::FakeFileTypeRegistry()
{
    install(this);
}

FakeFileTypeRegistry::~FakeFileTypeRegistry()
{
    install(nullptr);
}

void FakeFileTypeRegistry::set(const QString &key, const QString &value)
{
    if (!m_values.contains(key.toLower()))
        m_names.append(key);
    m_values.insert(key.toLower(), value);
}

QString FakeFileTypeRegistry::defaultValue(const QString &key) const
{
    return m_values.value(key.toLower());
}
