#pragma once
// The window path of the program: the check for a running copy, the application object, the
// splash, the main window and the event loop.
#include <memory>

#include <QString>
#include <QStringList>

#include "ui/ConfigLocation.h"

class TfmMainFrm;
class WindowDialogs;

// argc and argv are main()'s. Returns the process's exit status (always 0).
int RunWindowPath(int argc, char* argv[]);
// The same with the dialogs given: the real ones, or those of a test that answers in the user's
// place.
int RunWindowPath(int argc, char* argv[], WindowDialogs& dialogs);

// ShowSplash of OPTIONS in the TAVIK.CNF the window reads, true when missing or unreadable. Read
// once at start and never written.
bool SplashWanted(const ConfigFiles& config);
bool SplashWanted(const QString& configFolder);   // TAVIK.CNF in that folder

// Builds the main window; with showSplash, under the about window shown as the splash, which stays
// up 400 ms plus the building and is taken down once the window exists.
std::unique_ptr<TfmMainFrm> CreateMainWindow(WindowDialogs& dialogs, const ConfigFiles& config,
                                             const QStringList& arguments, bool showSplash);
std::unique_ptr<TfmMainFrm> CreateMainWindow(WindowDialogs& dialogs, const QString& configFolder,
                                             const QStringList& arguments, bool showSplash);
