// The main window's layout in the settings file ("MainWindow" group).
#include "framework/qt/QtWindowLayout.h"

#include <QMainWindow>
#include <QScreen>
#include <QSettings>

#include <algorithm>

namespace fw {

namespace {

constexpr int kStateVersion = 1;  // raised when the docks or toolbars change their names


} // namespace

void QtWindowLayout::save(const QMainWindow &window)
{
    QSettings s("Molvane", "Molvane");
    s.setValue("MainWindow/geometry", window.saveGeometry());
    s.setValue("MainWindow/state", window.saveState(kStateVersion));
    s.sync();
}

bool QtWindowLayout::restore(QMainWindow &window)
{
    QSettings s("Molvane", "Molvane");
    const QByteArray geometry = s.value("MainWindow/geometry").toByteArray();
    const QByteArray state = s.value("MainWindow/state").toByteArray();
    if (geometry.isEmpty() || !window.restoreGeometry(geometry))
        return false;
    window.restoreState(state, kStateVersion);
    return true;
}

void QtWindowLayout::keepOnScreen(QWidget &window)
{
    if (QScreen *screen = window.screen())
        fitInside(window, screen->availableGeometry());
}

void QtWindowLayout::forget()
{
    QSettings s("Molvane", "Molvane");
    s.remove("MainWindow");
    s.sync();
}

void QtWindowLayout::fitInside(QWidget &window, const QRect &available)
{
    if (window.isMaximized() || window.isFullScreen() || available.isEmpty())
        return;
    // The frame (title bar, borders) must fit too; the margins are what it adds to the client.
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    const QSize margins(frame.width() - client.width(), frame.height() - client.height());
    const QSize size = client.size().boundedTo(available.size() - margins);
    window.resize(size);
    const QSize outer = size + margins;
    const int x = std::clamp(frame.left(), available.left(), available.right() + 1 - outer.width());
    const int y = std::clamp(frame.top(), available.top(), available.bottom() + 1 - outer.height());
    window.move(x, y);
}

} // namespace fw
