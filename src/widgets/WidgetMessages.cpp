#include "WidgetMessages.h"

#include <QApplication>
#include <QMessageBox>

void WidgetMessages::beep()
{
    QApplication::beep();
}

void WidgetMessages::errorBox(const QString &text)
{
    QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Error"), text);
}

void WidgetMessages::infoBox(const QString &text)
{
    QMessageBox::information(QApplication::activeWindow(), QStringLiteral("Information"), text);
}

bool WidgetMessages::confirm(const QString &text)
{
    return QMessageBox::question(QApplication::activeWindow(), QStringLiteral("Confirm"), text,
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                 // The questions discard data: Enter must not say yes.
                                 QMessageBox::No) == QMessageBox::Yes;
}
