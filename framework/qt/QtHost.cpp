// Runs the program on Qt Widgets.
#include "framework/qt/QtHost.h"

#include "framework/qt/QtPlatform.h"
#include "widgets/ToolbarIcons.h"

#include <QApplication>
#include <QFont>

namespace fw {

int runWithQt(int &argc, char **argv, const std::function<bool()> &start,
              const std::function<void()> &finish)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Molvane");
    QApplication::setApplicationName("Molvane");
    QApplication::setWindowIcon(widgets::applicationIcon());
    QFont font = QApplication::font();
    font.setPixelSize(12);
    QApplication::setFont(font);
    int rc = 1;
    {
        QtPlatform platform;
        if (start())
            rc = app.exec();
        else
            app.processEvents();
        finish();
        app.processEvents();  // what the closing windows posted; the platform deletes their widgets
    }
    return rc;
}

} // namespace fw
