#pragma once

#include <QKeyEvent>

// The keys that ask for a context menu where the keyboard stands: the Menu key, or Shift+F10.
inline bool isMenuKey(const QKeyEvent *event)
{
    return event->key() == Qt::Key_Menu ||
           (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
}
