#pragma once

#include <QIcon>
#include <QPixmap>

namespace dnsbatch {

// The application's picture, drawn at any size: a globe on a blue tile with
// a magnifying glass over it. The window uses the 32 x 32 rendering.
QPixmap drawAppIcon(int size);
QIcon appIcon();

}  // namespace dnsbatch
