#pragma once

class QLabel;

// Widens label, when its text needs more room than it has, to show the text in full: towards
// the left for right-aligned text (its right edge stays), towards the right otherwise.
void fitLabelToText(QLabel *label);
