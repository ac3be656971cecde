#pragma once

#include <QString>
#include <QStringList>

class ProfileFile;

// The choices of the last run that the next one starts from, in the settings file's own
// section [Options]: HiddenFolders, LongExtensions and KeepHistory (0 or 1), Folders (how many)
// and Folder1 ... FolderN. The sections of the type lists are never touched.
struct RunSettings {
    bool enterHiddenFolders = false;
    bool listLongExtensions = false;
    // The window keeps its runs in the history database.
    bool keepHistory = false;
    QStringList folders;

    // The settings of file; the defaults where the file or section is missing or cannot be
    // read (error, if given, then says why).
    static RunSettings read(const ProfileFile &file, QString *error = nullptr);
    // Empty when saved, otherwise the message for the user; the file is then unchanged.
    QString write(const ProfileFile &file) const;
};
