#pragma once

#include <QString>

// Where the program's beep and modal message boxes go. The windows install boxes on screen,
// tests a recorder; without either, messages go to standard error, which is what the headless
// report wants.
class Messages {
public:
    virtual ~Messages() = default;
    virtual void beep() = 0;
    virtual void errorBox(const QString &text) = 0;
    virtual void infoBox(const QString &text) = 0;
    // A question with Yes, No and Cancel ("Confirm"); true only for Yes.
    virtual bool confirm(const QString &text) = 0;

    static Messages &current();
    // Installs messages (not owned; nullptr restores the standard-error default).
    static void install(Messages *messages);
};
