#pragma once

class QWidget;

// Places window in the middle of the screen it is on (or of the primary screen), as the
// dialogs that open over the statistics window are placed. Call once its size is set.
void centreOnScreen(QWidget *window);
