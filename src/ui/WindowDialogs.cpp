#include "ui/WindowDialogs.h"

#include <QApplication>
#include <QMessageBox>

void QtWindowDialogs::ShowMessage(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) {
    static constexpr QMessageBox::Icon Icons[] = {QMessageBox::NoIcon, QMessageBox::Information,
                                                  QMessageBox::Warning, QMessageBox::Critical};
    QMessageBox box(Icons[static_cast<int>(icon)], title, text, QMessageBox::Ok, parent);
    box.exec();
}

void QtWindowDialogs::Beep() {
    QApplication::beep();
}
