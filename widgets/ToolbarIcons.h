// Icons of the toolbars and the About box, drawn with QPainter so they scale and need no files.
#pragma once

#include <QIcon>
#include <QString>

namespace widgets {

// The icon of a toolbar button by its resource name ("play", "stop", "zoom-in", ...).
QIcon toolbarIcon(const QString &name);
// The application's icon: a small camera.
QIcon applicationIcon();

} // namespace widgets
