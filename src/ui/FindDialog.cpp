#include "ui/FindDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

FindDialog::FindDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fdlLists"));
    setWindowTitle(QStringLiteral("Найти"));
    setModal(false);

    FindText = new QLineEdit;
    auto* label = new QLabel(QStringLiteral("&Образец:"));
    label->setBuddy(FindText);
    WholeWord = new QCheckBox(QStringLiteral("Только слово целиком"));
    MatchCase = new QCheckBox(QStringLiteral("С учетом регистра"));
    Up = new QRadioButton(QStringLiteral("Вверх"));
    Down = new QRadioButton(QStringLiteral("Вниз"));
    FindNext = new QPushButton(QStringLiteral("Найти далее"));
    Cancel = new QPushButton(QStringLiteral("Отмена"));
    FindNext->setDefault(true);

    auto* direction = new QGroupBox(QStringLiteral("Направление"));
    auto* directionRow = new QHBoxLayout(direction);
    directionRow->addWidget(Up);
    directionRow->addWidget(Down);

    auto* textRow = new QHBoxLayout;
    textRow->addWidget(label);
    textRow->addWidget(FindText);
    auto* options = new QVBoxLayout;
    options->addWidget(WholeWord);
    options->addWidget(MatchCase);
    auto* lower = new QHBoxLayout;
    lower->addLayout(options);
    lower->addWidget(direction);
    auto* left = new QVBoxLayout;
    left->addLayout(textRow);
    left->addLayout(lower);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(FindNext);
    buttons->addWidget(Cancel);
    buttons->addStretch();
    auto* all = new QHBoxLayout(this);
    all->addLayout(left);
    all->addLayout(buttons);

    FindNext->setEnabled(false);
    connect(FindText, &QLineEdit::textChanged, this, [this](const QString& text) { FindNext->setEnabled(!text.isEmpty()); });
    connect(FindNext, &QPushButton::clicked, this, &FindDialog::FindNextClick);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::close);
}

void FindDialog::Start(FindDialogSettings& newSettings, std::function<void()> newFindNext) {
    settings = &newSettings;
    findNext = std::move(newFindNext);
    FindText->setText(settings->findText);
    FindText->selectAll();
    WholeWord->setChecked(settings->wholeWord);
    MatchCase->setChecked(settings->matchCase);
    (settings->down ? Down : Up)->setChecked(true);
}

void FindDialog::Keep() {
    if (settings == nullptr) return;
    settings->findText = FindText->text();
    settings->wholeWord = WholeWord->isChecked();
    settings->matchCase = MatchCase->isChecked();
    settings->down = Down->isChecked();
}

void FindDialog::hideEvent(QHideEvent* event) {
    Keep();
    QDialog::hideEvent(event);
}

void FindDialog::FindNextClick() {
    if (settings == nullptr) return;
    Keep();
    // Queued: the search runs on the window's thread after the click has been handled.
    QTimer::singleShot(0, parentWidget(), findNext);
}
