#pragma once
// A start-up time probe for measuring, not a feature: with the environment
// variable TARVIK_STARTUP_REPORT set (to anything but empty), the tool prints
// one line on standard output once its main window has been drawn for the
// first time:
//
//   tarvik: main window drawn at <ns> ns monotonic, <ms> ms after main()
//   began, <cpu> ms of CPU time
//
// <ns> is the monotonic clock (std::chrono::steady_clock, shared by every
// process of the machine), so a program that started the tool can subtract
// the moment it started it. Without the variable nothing is watched.

#include <chrono>

class QWidget;

namespace tvk {

void reportFirstDraw(QWidget *mainWindow, std::chrono::steady_clock::time_point mainBegan);

} // namespace tvk
