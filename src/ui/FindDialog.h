#pragma once
// The find dialog fdlLists: a modeless box with the search text, "Только слово целиком", "С учетом
// регистра", the direction "Вверх" / "Вниз" and the buttons "Найти далее" and "Отмена".
#include <functional>

#include <QDialog>

#include "ui/WindowDialogs.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class FindDialog : public QDialog {
    Q_OBJECT
public:
    explicit FindDialog(QWidget* parent);

    // Takes the text and options of settings; find-next writes them back and calls findNext.
    void Start(FindDialogSettings& settings, std::function<void()> findNext);

    QLineEdit* FindText = nullptr;
    QCheckBox* WholeWord = nullptr;
    QCheckBox* MatchCase = nullptr;
    QRadioButton* Up = nullptr;
    QRadioButton* Down = nullptr;
    QPushButton* FindNext = nullptr;
    QPushButton* Cancel = nullptr;

protected:
    // What was typed stays for the next showing, also when the dialog is closed without a search.
    void hideEvent(QHideEvent* event) override;

private:
    void Keep();
    void FindNextClick();

    FindDialogSettings* settings = nullptr;
    std::function<void()> findNext;
};
