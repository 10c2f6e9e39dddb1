#pragma once
// Qt's own texts (the buttons of message boxes, the file and colour dialogs) in Russian, as every
// other text of the window is. The program speaks Russian only, so the translation is loaded
// whatever the user's locale.
class QTranslator;

// Loads Qt's Russian translation (qtbase_ru from Qt's translations folder) into translator and
// installs it in the application; false when the translation is not there.
bool InstallQtTranslation(QTranslator& translator);
