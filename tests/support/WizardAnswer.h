#pragma once

#include "drives/ui/whichdrv.h"
#include "widgets/Picklist.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTimer>

enum class WizardAnswer {
    CurrentDriveAllFiles, // the drive the wizard ticks itself, "All files"
    EveryDriveAllFiles,   // "Select All" drives, "All files"
    Cancel,
};

// Answers the setup wizard that the next collection run opens. Without one shown, nothing
// happens and the run finds no drive.
inline void answerNextWizard(WizardAnswer answer)
{
    QTimer::singleShot(0, [answer] {
        auto *wizard = qobject_cast<TfrmWhichDrive *>(QApplication::activeModalWidget());
        if (!wizard)
            return;
        if (answer == WizardAnswer::Cancel) {
            wizard->close();
            return;
        }
        if (answer == WizardAnswer::EveryDriveAllFiles)
            wizard->pckDrives->actions().first()->trigger();
        wizard->btNext1->click();
        wizard->btNext2->click();
    });
}
