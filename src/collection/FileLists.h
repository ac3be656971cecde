#pragma once

#include "ExtensionCache.h"
#include "FolderRecords.h"
#include "TopFiles.h"

#include <QString>

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct DirEntry;
struct FileRows;

// A row of a page, as the files behind it are asked for.
struct ListRow {
    enum Kind {
        Extension,   // key: the Types row's extension, upper case, dot included
        SizeBand,    // index 1 to 12
        AccessedAge, // index 0 ("Not recorded") to 9
        CreatedAge,
        ModifiedAge,
        AccessedSlot, // index 1 to 47: the half hour from index * 30 minutes
        CreatedSlot,
        ModifiedSlot,
        Attribute, // index: the attribute's bit (faReadOnly, faHidden, faSystem, faArchive)
    };
    Kind kind = SizeBand;
    int index = 0;
    QByteArray key;
};

// The largest files of every row of every page, and the largest folders of every target, of
// one run. Memory is bounded by the rows times the limit, plus one record per folder.
class FileLists {
public:
    struct TargetFolders {
        QString target;
        std::vector<FolderRecords::Total> folders;
        quint32 root = FolderRecords::noParent; // the target's own record
    };

    FileLists() = default;
    // The lists of extensions are found through pointers into this object's own map.
    FileLists(const FileLists &) = delete;
    FileLists &operator=(const FileLists &) = delete;

    // Files kept per row; 0 keeps none (and the walk keeps no folder records).
    void setLimit(int limit) { m_limit = limit; }
    int limit() const { return m_limit; }
    bool enabled() const { return m_limit > 0; }
    // Every folder of the walks is recorded with its files (the folder tree), lists or not.
    void setFolderTree(bool kept) { m_folderTree = kept; }
    bool recordsFolders() const { return m_limit > 0 || m_folderTree; }
    // Whether a recorded folder keeps its largest files by name: the folder tree shows them
    // and a kept run holds them. Without, a folder keeps its sums alone, all the largest
    // folders need, and the run has no folder tree. On unless turned off.
    void setFolderFiles(bool kept) { m_folderFiles = kept; }
    bool keepsFolderFiles() const { return m_folderFiles; }
    // Extensions of any length have lists, as they have rows.
    void setAnyLength(bool anyLength)
    {
        m_anyLength = anyLength;
        m_found.clear();
    }

    // A counted file of folder, in the rows it fell in; copied only where a list keeps it.
    void offer(const FileRows &rows, const DirEntry &entry, quint32 folder);
    // Takes in every file of other, a part of the same run.
    void merge(const FileLists &other);
    // Keeps the largest folders below root, the folder a walk of target started from.
    void addTarget(const QString &target, quint32 root);

    std::vector<KeptFile> files(const ListRow &row) const;
    QByteArray folderPath(quint32 folder) const { return m_folders.path(folder); }
    // The whole path of file, as the file system's bytes.
    QByteArray path(const KeptFile &file) const;
    FolderRecords &folders() { return m_folders; }
    const FolderRecords &folders() const { return m_folders; }
    const std::vector<TargetFolders> &largestFolders() const { return m_targets; }
    // Every folder of the run is recorded with its own files (a walk that recorded folders, or
    // a kept run that keeps them all), so that they make its folder tree.
    bool hasFolderTree() const { return m_wholeTree; }
    void clear();
    // Trades everything with other: a run read aside takes the place of the one on show.
    void swap(FileLists &other);

private:
    friend class RunArchive;
    static constexpr int fixedRows = 13 + 3 * 10 + 3 * 48 + 4;
    static int fixedIndex(ListRow::Kind kind, int index);
    TopFiles *fixedList(ListRow::Kind kind, int index);

    int m_limit = 0;
    bool m_folderTree = false;
    bool m_folderFiles = true;
    bool m_anyLength = false;
    bool m_wholeTree = false;
    std::array<TopFiles, fixedRows> m_fixed;
    struct KeyHash {
        using is_transparent = void;
        size_t operator()(std::string_view key) const { return std::hash<std::string_view>()(key); }
    };
    std::unordered_map<std::string, TopFiles, KeyHash, std::equal_to<>> m_extensions;
    // The list of an extension as a file name gives it (none: it has no row), found again
    // without a search; elements of an unordered map stay where they are.
    ExtensionCache<TopFiles *> m_found;
    FolderRecords m_folders;
    std::vector<TargetFolders> m_targets;
};
