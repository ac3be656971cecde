#pragma once

#include <QByteArray>
#include <QString>

// The desktop's trash, laid out as freedesktop.org desktops share it: a file or folder
// moved there is put back by any file manager, never deleted here. The home trash
// ($XDG_DATA_HOME/Trash, else ~/.local/share/Trash; made when missing) takes what lies on the
// home's file system; elsewhere the file system's own top folder holds the trash
// ($topdir/.Trash/$uid where the administrator made a sticky .Trash, else $topdir/.Trash-$uid).
// (Written here rather than taken from Qt: the Qt of Debian 12 moves the file into the working
// folder when the home has no ~/.local/share, and says it succeeded.)
class FreedesktopTrash {
public:
    // Moves path (absolute, the file system's bytes) into its trash with a record of where it
    // came from and when; the path it now has, or empty with error set to why not (nothing
    // moved then).
    static QByteArray moveToTrash(const QByteArray &path, QString *error);
    // The home trash folder.
    static QByteArray homeTrash();
};
