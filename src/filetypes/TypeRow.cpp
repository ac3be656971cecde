#include "TypeRow.h"

#include "platform/FileTypeRegistry.h"

QString extractExtension(QStringView typeRow)
{
    const qsizetype tab = typeRow.indexOf(u'\t');
    if (tab < 1)
        return QString();
    QString key = typeRow.sliced(1, tab - 1).toString();
    for (QChar &c : key)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    return key;
}

QByteArrayView fileNameExtension(QByteArrayView fileName)
{
    const qsizetype dot = fileName.lastIndexOf('.');
    return dot < 0 ? QByteArrayView() : fileName.sliced(dot);
}

QString fileTypeDescription(const QString &extension)
{
    if (extension == u"*.")
        return QStringLiteral("No extension");
    const FileTypeRegistry &registry = FileTypeRegistry::current();
    const QString typeName = extension.isEmpty() ? QString() : registry.defaultValue(extension);
    const QString description = typeName.isEmpty() ? QString() : registry.defaultValue(typeName);
    const QString result = description.isEmpty() ? typeName : description;
    if (result.isEmpty() && !extension.isEmpty() && !extension.contains(u'*'))
        return extension.mid(1).toUpper() + QStringLiteral(" File");
    return result;
}
