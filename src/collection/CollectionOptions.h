#pragma once

#include <QStringList>

// What a collection run counts, as the setup wizard chose it.
struct CollectionOptions {
    // Exactly one of the three is true: no filter, only the chosen types, all but them.
    bool allFiles = true;
    bool includeSelected = false;
    bool excludeSelected = false;
    // The chosen drive rows, in the order they were added (the letter is the first character).
    QStringList PickList1;
    // The chosen type rows ("*.doc", TAB, description), in ascending order of their text.
    QStringList PickList2;
    // Cluster waste is summed only while a run covers a single drive.
    bool collectOverhang = false;
    // Choices of the user beyond the plain run, both off by default: hidden folders (dot
    // folders) are walked; extensions of any length get rows of their own.
    bool enterHiddenFolders = false;
    bool listLongExtensions = false;
    // Also off by default: the space files take on disk is shown beside their sizes.
    bool countOnDisk = false;
    // Folders not entered, by name patterns ("node_modules", ".cache", "*.tmp"); counted apart.
    QStringList skipFolders;
};
