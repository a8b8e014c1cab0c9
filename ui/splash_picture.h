// The pictures drawn at run time: the splash window's (the program's name and
// version over a spiral of colored rings) and the program's icon (the spiral).
#pragma once

#include <QIcon>
#include <QPixmap>

namespace zt {

// User-interface thread (it paints with QPainter). 480 x 300 pixels.
QPixmap SplashPicture();
QIcon ProgramIcon();

}  // namespace zt
