#pragma once

#include <QIcon>

// Icon 128, the program's own picture: a 32×32 and a 16×16 image of at most
// 16 colours, compiled into the program. Needs a QGuiApplication.
[[nodiscard]] QIcon LoadAppIcon();
