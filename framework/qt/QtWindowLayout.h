// The main window's layout between runs: size, position, maximised state, docks and toolbars
// (Qt's own geometry and state), kept in the program's settings file.
#pragma once

#include <QByteArray>
#include <QRect>

class QMainWindow;
class QWidget;

namespace fw {

class QtWindowLayout {
public:
    static void save(const QMainWindow &window);
    // Restores a saved layout; false when none is saved or it cannot be read.
    static bool restore(QMainWindow &window);
    // Brings a shown window inside the screen it is on (its frame is known once it is shown).
    static void keepOnScreen(QWidget &window);
    static void forget();
    // Moves and shrinks a window that is not maximised so its frame lies within `available`.
    static void fitInside(QWidget &window, const QRect &available);
};

} // namespace fw
