#pragma once
// What the about window says besides its title: the maker line, the credits line and its three
// links, taken from the build settings, with the program's own documents found at run time.
#include <QString>
#include <QUrl>

struct AboutLink {
    QString caption;   // the label's text
    QUrl address;      // what the shell opens; empty: the link is not shown
};

struct AboutContent {
    QString makerLine;
    QString creditsLine;
    AboutLink email;        // tag 1, a mailto: address
    AboutLink homePage;     // tag 2
    AboutLink updatePage;   // tag 3
};

// Where a document installed with the program lives, for an executable in exeDir: the installed
// doc folder (<exeDir>/../share/doc/tavik), else beside the executable. When neither holds it,
// the installed place, which the shell then fails to open.
QString InstalledDocument(const QString& exeDir, const QString& fileName);

// The content the build settings give; the empty link settings are filled from exeDir as above.
AboutContent DefaultAboutContent(const QString& exeDir);
