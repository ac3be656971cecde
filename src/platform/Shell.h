#pragma once

#include <QString>

// Opens a web address in the user's browser. The windows install the desktop's own; without
// it nothing can be opened.
class Shell {
public:
    virtual ~Shell() = default;
    // False when the address could not be handed to a browser.
    virtual bool openUrl(const QString &address) = 0;

    static Shell &current();
    // Installs shell (not owned; nullptr restores the one that opens nothing).
    static void install(Shell *shell);
};
