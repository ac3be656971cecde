#pragma once

#include <QString>
#include <QStringList>

class ProfileFile;

// The choices of the last run that the next one starts from, in the settings file's own
// section [Options]: HiddenFolders, LongExtensions, OnDisk and KeepHistory (0 or 1), Drives (the
// letters of the drives walked, "cd"), Folders (how many) and Folder1 ... FolderN, SkipFolders
// (the name patterns of folders not entered, separated by semicolons), and PrometheusFile for
// scheduled runs. The sections of the type lists are never touched.
struct RunSettings {
    bool enterHiddenFolders = false;
    bool listLongExtensions = false;
    // The space files take on disk is shown beside their sizes.
    bool countOnDisk = false;
    // The window keeps its runs in the history database.
    bool keepHistory = false;
    // The targets of the last run: drive letters (lower case) and folders.
    QString drives;
    QStringList folders;
    QStringList skipFolders;
    // PrometheusFile=, set by hand: where a scheduled run writes its metrics (a whole path), or
    // empty. Never written here.
    QString prometheusFile;

    // Some target of the last run is remembered (a file of an older version knows only its
    // folders).
    bool remembersTargets() const { return !drives.isEmpty() || !folders.isEmpty(); }

    // The settings of file; the defaults where the file or section is missing or cannot be
    // read (error, if given, then says why).
    static RunSettings read(const ProfileFile &file, QString *error = nullptr);
    // Empty when saved, otherwise the message for the user; the file is then unchanged.
    QString write(const ProfileFile &file) const;
};
