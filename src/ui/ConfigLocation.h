#pragma once
// Where the window keeps TAVIK.CNF. A copy of the program in a folder its user may write (a
// portable copy, or a build) keeps it beside the executable. An installed program, whose folder
// is the system's, keeps each user's file in the user's configuration folder; until that file
// exists, a TAVIK.CNF beside the executable gives the defaults (an administrator's settings),
// which no user writes.
#include <QString>

struct ConfigFiles {
    QString read;    // the file the window reads at start
    QString write;   // the file it stores into at close
    bool createFolder = false;   // the folder of write is made when missing (the user's own)
};

// exeDir: the executable's folder; userConfigHome: $XDG_CONFIG_HOME, or ~/.config without it.
ConfigFiles LocateConfig(const QString& exeDir, const QString& userConfigHome);

// TAVIK.CNF read and stored in one folder.
ConfigFiles ConfigFilesIn(const QString& folder);

// The user's configuration folder of this process's environment.
QString UserConfigHome();
