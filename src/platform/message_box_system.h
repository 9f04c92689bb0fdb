// Between the shared message-box code (message_box.cpp) and each system's
// back-end.
#pragma once

#include "platform/window_system.h"

// The system's own box, shown and answered; given by each back-end. Where no
// box can be shown it reports on standard error and gives the unshown answer.
int ShowSystemMessageBox(WindowHandle owner, const char* text, const char* caption, unsigned type);

// True for the answers a box can give: IDOK, IDYES, IDNO.
bool IsAnswer(int answer);

// The caption and text on standard error, and for a question the answer
// taken; returns UnshownAnswer(type).
int ReportOnStandardError(const char* text, const char* caption, unsigned type);
