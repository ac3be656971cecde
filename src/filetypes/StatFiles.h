#pragma once

#include <QString>
#include <QStringList>

class ProfileFile;

// The include and exclude lists of file types, kept in the settings file under [Include] and
// [Exclude] as Number=N and File1 to FileN, each the pattern of one type row.

// The rows of section: each entry's pattern, a TAB and its description. With no readable
// Number the three defaults *.doc, *.exe and *.dll; Number=0 gives no rows. A file that exists
// but cannot be read is reported in an error box, "Unable to read " and the path and reason.
QStringList ReadStatFilesFromDisk(const ProfileFile &file, const QString &section);

// Writes the patterns of rows as File1 to FileN and Number=N; higher File keys of a longer
// earlier list stay and are ignored. On failure the file is unchanged and the message
// "Unable to write to " and the file's path is returned; otherwise the empty text.
QString WriteStatFilesToDisk(const ProfileFile &file, const QStringList &rows,
                             const QString &section);

// Every registered extension of at most four characters after the dot, as a pattern ("*.doc"),
// in order of the extensions without regard to case.
QStringList listRegisteredExtensions();
