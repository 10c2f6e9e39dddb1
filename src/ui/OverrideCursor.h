#pragma once
// A cursor shape over the whole application from here to the end of the scope, however the scope
// is left: the hourglass of a load, the arrow of a question asked during one. Nested guards
// restore each other's shapes in turn.
#include <QApplication>
#include <QCursor>

class OverrideCursor {
public:
    explicit OverrideCursor(Qt::CursorShape shape) { QApplication::setOverrideCursor(shape); }
    ~OverrideCursor() { QApplication::restoreOverrideCursor(); }
    OverrideCursor(const OverrideCursor&) = delete;
    OverrideCursor& operator=(const OverrideCursor&) = delete;
};
