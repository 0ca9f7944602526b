// The platform on Qt Widgets: windows, dialogs, timers, clock, settings, posting, keys.
#pragma once

#include "framework/Platform.h"

#include <QObject>
#include <QSettings>

#include <map>
#include <memory>

class QKeyEvent;
class QLockFile;
class QTimer;

namespace fw {

class QtMainWindow;

class QtSettings : public Settings {
public:
    QtSettings() : settings_("Molvane", "Molvane") {}
    std::string value(const std::string &key) const override;
    void setValue(const std::string &key, const std::string &value) override;

private:
    mutable QSettings settings_;
};

class QtPlatform : public QObject, public Platform {
public:
    QtPlatform();
    ~QtPlatform() override;

    std::unique_ptr<WindowPeer> createPeer(Window &window, const WindowSpec &params) override;
    int runModal(Window &dialog) override;
    MsgResult messageBox(const std::string &text, const std::string &title, MsgButtons buttons,
                         MsgIcon icon) override;
    void showBalloon(const Balloon &balloon) override;
    std::optional<std::string> openFileDialog(const std::string &filter, const std::string &startDir) override;
    std::optional<std::string> saveFileDialog(const std::string &filter, const std::string &startDir) override;
    std::optional<std::string> folderDialog(const std::string &title) override;
    int popupMenu(const MenuItem &popup, Point screen) override;
    void setTimer(Window *window, int id, int milliseconds) override;
    void killTimer(Window *window, int id) override;
    void killTimers(Window *window) override;
    LocalTime localTime() override;
    Settings &settings() override { return settings_; }
    void post(std::function<void()> fn) override;
    bool acquireInstanceLock(const std::string &name) override;
    int textWidth(const std::string &text) override;
    int scrollBarExtent() const override;
    void quit() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *mainWidget() const;
    bool filterKey(QKeyEvent *event);

    QtSettings settings_;
    std::map<std::pair<Window *, int>, QTimer *> timers_;
    std::unique_ptr<QLockFile> lock_;
    QtMainWindow *frame_ = nullptr;
};

} // namespace fw
