// A window larger than the room its screen gives it (a small laptop screen
// with a panel bar) is shown smaller, with its controls in a scroll area;
// where it fits, it keeps its natural size and nothing changes.
#pragma once

class QWidget;

// True when the window was made to fit. Call once, before it is first shown.
bool FitWindowToScreen(QWidget* window);
