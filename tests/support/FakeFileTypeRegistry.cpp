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
    m_values.insert(key.toLower(), value);
}

QString FakeFileTypeRegistry::defaultValue(const QString &key) const
{
    return m_values.value(key.toLower());
}
