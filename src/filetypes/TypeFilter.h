#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

#include <vector>

// Decides for every file of a run whether it is counted. The chosen rows' keys are taken once,
// so the test per file is a few byte comparisons.
class TypeFilter {
public:
    TypeFilter() = default;
    TypeFilter(bool allFiles, bool includeSelected, bool excludeSelected,
               const QStringList &typeRows);

    // All files: true. Otherwise the file's extension (ASCII letters in any case) is looked up
    // among the rows' keys: found gives includeSelected, not found excludeSelected.
    bool isThisSelected(QByteArrayView fileName) const;

private:
    bool m_allFiles = true;
    bool m_includeSelected = false;
    bool m_excludeSelected = false;
    std::vector<QByteArray> m_keys; // lower case, in the rows' order
};
