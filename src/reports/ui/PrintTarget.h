#pragma once

#include <QString>

class Chart;
class QPrinter;
class QWidget;

// Where printed pages go: the printer dialog and the chart preview of the desktop, or, in
// tests, a PDF file without any dialog.
class PrintTarget {
public:
    virtual ~PrintTarget() = default;
    // Lets the user choose and set up the printer; false when cancelled.
    virtual bool choosePrinter(QPrinter &printer, QWidget *parent) = 0;
    // Shows the chart in a print preview, from which the user prints it (with title over it)
    // or not.
    virtual void previewChart(const Chart &chart, const QString &title, QWidget *parent) = 0;

    static PrintTarget &current();
    // Installs target (not owned; nullptr restores the desktop's dialogs).
    static void install(PrintTarget *target);
};
