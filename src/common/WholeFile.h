#pragma once

#include <QByteArray>
#include <QString>

// Writes bytes to path as one step: a temporary file in the same folder, renamed over path once
// it is whole, so that a reader never sees half a file. Empty, or the reason it failed.
QString writeWholeFile(const QString &path, const QByteArray &bytes);
