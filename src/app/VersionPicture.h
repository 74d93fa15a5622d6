#pragma once

#include <QPixmap>

// The picture of the version box: a cash register with a radio module.
QPixmap DrawVersionPicture(const QSize &size);
