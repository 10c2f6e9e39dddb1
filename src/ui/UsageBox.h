#pragma once
// The help menu's hint: the command-line usage in a message box.
class QWidget;
class WindowDialogs;

// Shows the usage text in a message box with one OK button titled with the program's title, over
// parent; returns when the user closes it.
void ShowUsage(WindowDialogs& dialogs, QWidget* parent);
