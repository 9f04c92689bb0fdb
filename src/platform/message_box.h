// Modal message boxes, the only way the demo talks to its user. Every box of
// the program goes through ShowMessageBox, so tests can answer them.
#pragma once

#include "platform/window_system.h"

// Buttons and icons, combined into the type argument as on Windows.
constexpr unsigned MB_OK = 0x00;
constexpr unsigned MB_YESNO = 0x04;
constexpr unsigned MB_ICONSTOP = 0x10;
constexpr unsigned MB_ICONERROR = MB_ICONSTOP;
constexpr unsigned MB_ICONEXCLAMATION = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr unsigned MB_BUTTON_MASK = 0x0F;
constexpr unsigned MB_ICON_MASK = 0xF0;

// Answers.
constexpr int IDOK = 1;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Shows the box and waits for the user's answer. Where no box can be shown
// at all, the caption and text go to standard error and the answer is
// UnshownAnswer's.
int ShowMessageBox(WindowHandle owner, const char* text, const char* caption, unsigned type);

// The answer that ends the program for a box of this type: No for a
// question, OK otherwise. Also the answer of a box closed without a button.
int EndingAnswer(unsigned type);

// The answer where no box can be shown at all: Yes for a question, OK
// otherwise. The program's one question offers windowed mode, and No would
// end it without anything on the screen, which someone who started it from
// a menu could not tell from a program that never started.
int UnshownAnswer(unsigned type);

// Tests install an answerer: every box is then handed to it instead of the
// screen, and its result is the answer. nullptr restores the real boxes.
using MessageBoxAnswerer = int (*)(WindowHandle owner, const char* text, const char* caption, unsigned type);
void SetMessageBoxAnswerer(MessageBoxAnswerer answerer);
