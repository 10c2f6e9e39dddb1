#pragma once
// The program's picture, a radiosonde balloon with its instrument on the line (our own drawing,
// src/ui/resources/balloon.svg): the about window shows it, and it is the window icon.
#include <QIcon>
#include <QPixmap>
#include <QSize>

// The drawing rendered into size (logical pixels) at the given device pixel ratio, its aspect kept
// and centred, on a transparent background.
QPixmap BalloonPixmap(QSize size, qreal devicePixelRatio = 1.0);

// The window icon: the drawing at the usual icon sizes.
QIcon BalloonIcon();
