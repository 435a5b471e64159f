#include "AppIcon.h"

// Outside any namespace, as Qt's resource initialisation requires.
static void InitIconResources()
{
    Q_INIT_RESOURCE(kanaroku_icons);
}

QIcon LoadAppIcon()
{
    // The resource lives in a static library: without an explicit
    // initialisation the linker may drop it.
    InitIconResources();
    QIcon icon;
    icon.addFile(QStringLiteral(":/kanaroku/kanaroku-32.xpm"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/kanaroku/kanaroku-16.xpm"), QSize(16, 16));
    return icon;
}
