#pragma once

#include <QString>

#include <QByteArray>

// Opens addresses and files with the desktop's own programs. The windows install the desktop's
// own; without it nothing can be opened. Nothing here goes through a shell.
class Shell {
public:
    virtual ~Shell() = default;
    // False when the address could not be handed to a browser.
    virtual bool openUrl(const QString &address) = 0;
    // Shows the file or folder path selected in the desktop's file manager (the freedesktop
    // file manager interface where one answers, else the folder that holds it).
    virtual bool showInFileManager(const QByteArray &path);
    // Moves path to the desktop's trash (the freedesktop trash: it can be put back, never
    // deleted here); false with error set to why not.
    virtual bool moveToTrash(const QByteArray &path, QString *error);

    static Shell &current();
    // Installs shell (not owned; nullptr restores the one that opens nothing).
    static void install(Shell *shell);
};
