// The platform on Qt Widgets.
#include "framework/qt/QtPlatform.h"

#include "framework/ErrorReport.h"
#include "framework/FrameWindow.h"
#include "framework/qt/QtMainWindow.h"
#include "framework/qt/QtPeers.h"
#include "framework/qt/QtWindowWidget.h"
#include "widgets/BalloonTip.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLockFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QScrollArea>
#include <QStandardPaths>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace fw {

namespace {

class QtMdiSub : public QMdiSubWindow {
public:
    explicit QtMdiSub(Window *window) : window_(window) {}
    Window *window_;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        event->ignore();
        postCloseBox(window_);
    }
};

class QtDock : public QDockWidget {
public:
    QtDock(const QString &title, QWidget *parent, Window *window) : QDockWidget(title, parent), window_(window) {}

protected:
    void closeEvent(QCloseEvent *event) override
    {
        event->ignore();
        postCloseBox(window_);
    }

private:
    Window *window_;
};

QtWindowWidget *innerOf(Window *w)
{
    if (!w || !w->peer())
        return nullptr;
    if (auto *p = dynamic_cast<QtWidgetPeer *>(w->peer()))
        return p->inner();
    return nullptr;
}

// "Name(*.a)|*.a|All( *.* )|*.*|" becomes "Name(*.a);;All( *.* )".
QString qtFilter(const std::string &filter)
{
    QStringList parts = QString::fromStdString(filter).split('|');
    QStringList names;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        names << parts[i];
    return names.join(";;");
}

Key keyOf(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return Key::Enter;
    case Qt::Key_Escape: return Key::Escape;
    case Qt::Key_F12: return Key::F12;
    default: return Key::Other;
    }
}

void fillMenu(QMenu *menu, const MenuItem &item)
{
    for (const auto &sub : item.items) {
        if (sub.isSeparator()) {
            menu->addSeparator();
        } else if (sub.isPopup()) {
            fillMenu(menu->addMenu(QString::fromStdString(sub.text)), sub);
        } else {
            QAction *a = menu->addAction(QString::fromStdString(sub.text));
            a->setData(sub.id);
            a->setEnabled(sub.enabled);
            a->setCheckable(sub.checked);
            a->setChecked(sub.checked);
        }
    }
}

} // namespace

std::string QtSettings::value(const std::string &key) const
{
    return settings_.value(QString::fromStdString(key)).toString().toStdString();
}

void QtSettings::setValue(const std::string &key, const std::string &value)
{
    settings_.setValue(QString::fromStdString(key), QString::fromStdString(value));
    settings_.sync();
}

QtPlatform::QtPlatform()
{
    setPlatform(this);
    qApp->installEventFilter(this);
}

QtPlatform::~QtPlatform()
{
    // Peers hand their widgets to deleteLater(), and so does the balloon. Outside an event loop
    // Qt runs such deletions only when asked for them by name, so ask here: no window outlives
    // the platform.
    widgets::BalloonTip::dismiss();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    qApp->removeEventFilter(this);
    setPlatform(nullptr);
}

QWidget *QtPlatform::mainWidget() const { return frame_; }

std::unique_ptr<WindowPeer> QtPlatform::createPeer(Window &window, const WindowSpec &params)
{
    const QString caption = QString::fromStdString(params.caption);
    const QRect rect(params.rect.left, params.rect.top, params.rect.width(), params.rect.height());
    switch (params.kind) {
    case WindowKind::MainFrame: {
        auto *frameWindow = dynamic_cast<FrameWindow *>(&window);
        if (!frameWindow)
            return nullptr;
        auto peer = std::make_unique<QtMainWindow>(*frameWindow, params);
        frame_ = peer.get();
        return peer;
    }
    case WindowKind::Pane: {
        if (!frame_)
            return nullptr;
        auto *dock = new QtDock(caption, frame_, &window);
        dock->setObjectName(QString("pane%1").arg(params.controlId) + caption);
        QDockWidget::DockWidgetFeatures features = QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable;
        if (params.closable)
            features |= QDockWidget::DockWidgetClosable;
        dock->setFeatures(features);
        if (params.area == DockArea::Bottom && params.closable)
            dock->setAllowedAreas(Qt::BottomDockWidgetArea);
        auto *inner = new QtWindowWidget(&window, dock);
        dock->setWidget(inner);
        if (params.templateId)
            inner->buildFromTemplate(params.templateId);
        QObject::connect(dock, &QDockWidget::topLevelChanged, dock, [w = &window](bool floating) {
            postToWindow(w, [floating](Window &pane) { pane.onFloat(floating); });
        });
        frame_->addPane(dock, window, params.area);
        const bool across = params.area == DockArea::Top || params.area == DockArea::Bottom;
        frame_->resizeDocks({dock}, {across ? rect.height() : rect.width()},
                            across ? Qt::Vertical : Qt::Horizontal);
        dock->setVisible(params.visible);
        // Docking has sized the pane before its creation handler made its children: tell it
        // its size again once they exist, as docking a pane does after it is created.
        postToWindow(&window, [inner](Window &pane) { pane.onSize(inner->width(), inner->height()); });
        return std::make_unique<QtWidgetPeer>(dock, inner);
    }
    case WindowKind::MdiChild: {
        if (!frame_)
            return nullptr;
        auto *sub = new QtMdiSub(&window);
        auto *inner = new QtWindowWidget(&window, sub);
        sub->setWidget(inner);
        sub->setWindowTitle(caption);
        sub->setWindowIcon(frame_->windowIcon());
        // Shown when the frame activates it, once the window's logic is created: an area that
        // activated it at once would do so before the window had a view.
        frame_->addChild(sub, window, params.rect);
        return std::make_unique<QtWidgetPeer>(sub, inner, frame_);
    }
    case WindowKind::Dialog: {
        auto *w = new QtWindowWidget(&window, mainWidget(), Qt::Dialog);
        w->setWindowTitle(caption);
        if (params.templateId)
            w->buildFromTemplate(params.templateId);
        w->move(rect.topLeft());
        w->resize(rect.size().expandedTo(w->minimumSize()));
        w->setVisible(params.visible);
        return std::make_unique<QtWidgetPeer>(w, w);
    }
    case WindowKind::ModalDialog: {
        auto *dlg = new QDialog(mainWidget());
        dlg->setWindowTitle(caption);
        auto *layout = new QVBoxLayout(dlg);
        layout->setContentsMargins(0, 0, 0, 0);
        auto *inner = new QtWindowWidget(&window, dlg);
        layout->addWidget(inner);
        if (params.templateId)
            inner->buildFromTemplate(params.templateId);
        dlg->resize(rect.size().expandedTo(inner->minimumSize()));
        return std::make_unique<QtWidgetPeer>(dlg, inner);
    }
    case WindowKind::FormChild: {
        // A form placed in a pane scrolls when the pane is smaller than the form, so every
        // control stays reachable on a small screen; the pane itself may shrink freely.
        QtWindowWidget *parentInner = innerOf(params.parent);
        auto *scroll = new QScrollArea(parentInner ? static_cast<QWidget *>(parentInner) : mainWidget());
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        auto *w = new QtWindowWidget(&window, scroll);
        if (params.templateId)
            w->buildFromTemplate(params.templateId);
        scroll->setWidget(w);
        scroll->setGeometry(rect);
        scroll->setVisible(params.visible);
        return std::make_unique<QtWidgetPeer>(scroll, w);
    }
    case WindowKind::View:
    case WindowKind::Hidden: {
        QtWindowWidget *parentInner = innerOf(params.parent);
        QWidget *parentWidget = parentInner ? static_cast<QWidget *>(parentInner) : mainWidget();
        auto *w = new QtWindowWidget(&window, parentWidget);
        if (params.templateId)
            w->buildFromTemplate(params.templateId);
        w->setGeometry(rect);
        w->setVisible(params.visible && params.kind != WindowKind::Hidden);
        return std::make_unique<QtWidgetPeer>(w, w);
    }
    }
    return nullptr;
}

int QtPlatform::runModal(Window &dialog)
{
    auto *peer = dynamic_cast<QtWidgetPeer *>(dialog.peer());
    auto *dlg = peer ? qobject_cast<QDialog *>(peer->outer()) : nullptr;
    if (!dlg)
        return 0;
    ModalLoop loop(*this);
    return dlg->exec() == QDialog::Rejected ? 2 : 1;
}

MsgResult QtPlatform::messageBox(const std::string &text, const std::string &title, MsgButtons buttons,
                                 MsgIcon icon)
{
    QMessageBox box(mainWidget());
    box.setText(QString::fromStdString(text));
    box.setWindowTitle(QString::fromStdString(title));
    switch (icon) {
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::None: break;
    }
    switch (buttons) {
    case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    }
    ModalLoop loop(*this);
    switch (box.exec()) {
    case QMessageBox::Cancel: return MsgResult::Cancel;
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    default: return MsgResult::Ok;
    }
}

void QtPlatform::showBalloon(const Balloon &b)
{
    widgets::BalloonTip::show(QString::fromStdString(b.title), QString::fromStdString(b.text),
                              b.icon == BalloonIcon::Warning ? widgets::BalloonTip::Icon::Warning
                                                             : widgets::BalloonTip::Icon::Information,
                              QPoint(b.anchor.x, b.anchor.y));
}

std::optional<std::string> QtPlatform::openFileDialog(const std::string &filter, const std::string &startDir)
{
    ModalLoop loop(*this);
    QString f = QFileDialog::getOpenFileName(mainWidget(), QString(), QString::fromStdString(startDir),
                                             qtFilter(filter), nullptr, QFileDialog::ReadOnly);
    if (f.isEmpty())
        return std::nullopt;
    return f.toStdString();
}

std::optional<std::string> QtPlatform::saveFileDialog(const std::string &filter, const std::string &startDir)
{
    ModalLoop loop(*this);
    QString f = QFileDialog::getSaveFileName(mainWidget(), QString(), QString::fromStdString(startDir),
                                             qtFilter(filter));
    if (f.isEmpty())
        return std::nullopt;
    return f.toStdString();
}

std::optional<std::string> QtPlatform::folderDialog(const std::string &title)
{
    ModalLoop loop(*this);
    QString d = QFileDialog::getExistingDirectory(mainWidget(), QString::fromStdString(title),
                                                  QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    if (d.isEmpty())
        return std::nullopt;
    return d.toStdString();
}

int QtPlatform::popupMenu(const MenuItem &popup, Point screen)
{
    QMenu menu(mainWidget());
    fillMenu(&menu, popup);
    ModalLoop loop(*this);
    QAction *chosen = menu.exec(QPoint(screen.x, screen.y));
    return chosen ? chosen->data().toInt() : 0;
}

void QtPlatform::setTimer(Window *window, int id, int milliseconds)
{
    QTimer *&t = timers_[{window, id}];
    if (!t) {
        t = new QTimer(this);
        connect(t, &QTimer::timeout, this, [window, id] { guarded([window, id] { window->onTimer(id); }); });
    }
    t->start(milliseconds);
}

void QtPlatform::killTimer(Window *window, int id)
{
    auto it = timers_.find({window, id});
    if (it == timers_.end())
        return;
    it->second->stop();
    it->second->deleteLater();
    timers_.erase(it);
}

void QtPlatform::killTimers(Window *window)
{
    for (auto it = timers_.begin(); it != timers_.end();) {
        if (it->first.first == window) {
            it->second->stop();
            it->second->deleteLater();
            it = timers_.erase(it);
        } else {
            ++it;
        }
    }
}

LocalTime QtPlatform::localTime()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec()};
}

void QtPlatform::post(std::function<void()> fn)
{
    QMetaObject::invokeMethod(this, [fn = std::move(fn)] { guarded(fn); }, Qt::QueuedConnection);
}

bool QtPlatform::acquireInstanceLock(const std::string &name)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    lock_ = std::make_unique<QLockFile>(dir + "/" + QString::fromStdString(name) + ".lock");
    lock_->setStaleLockTime(0);
    return lock_->tryLock(0);
}

int QtPlatform::textWidth(const std::string &text)
{
    return QFontMetrics(QApplication::font()).horizontalAdvance(QString::fromStdString(text));
}

int QtPlatform::scrollBarExtent() const { return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent); }

void QtPlatform::quit() { QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection); }

bool QtPlatform::filterKey(QKeyEvent *event)
{
    KeyEvent k;
    k.key = keyOf(event->key());
    k.ctrl = event->modifiers() & Qt::ControlModifier;
    k.shift = event->modifiers() & Qt::ShiftModifier;
    k.alt = event->modifiers() & Qt::AltModifier;
    QWidget *focus = QApplication::focusWidget();
    QtWindowWidget *owner = windowWidgetOf(focus);
    k.controlId = owner ? owner->controlIdOf(focus) : 0;
    FrameWindow *frame = frame_ ? frame_->frameWindow() : nullptr;
    if (frame && frame->preTranslateFrameKey(k))
        return true;
    Window *w = owner ? owner->window() : nullptr;
    if (w && (!frame || w != frame->activeView()))
        return w->preTranslateKey(k);
    return false;
}

bool QtPlatform::eventFilter(QObject *watched, QEvent *event)
{
    if (!watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    auto *widget = static_cast<QWidget *>(watched);
    // A key or a click travels up the parents; it is looked at once, at its first receiver.
    if (event->type() == QEvent::KeyPress) {
        QWidget *focus = QApplication::focusWidget();
        if ((focus && widget == focus) || (!focus && widget->isWindow())) {
            bool consumed = false;
            guarded([&] { consumed = filterKey(static_cast<QKeyEvent *>(event)); });
            if (consumed)
                return true;
        }
    } else if (event->type() == QEvent::MouseButtonPress) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (QApplication::widgetAt(mouse->globalPosition().toPoint()) == widget) {
            for (QWidget *w = widget; w; w = w->parentWidget()) {
                if (auto *sub = dynamic_cast<QtMdiSub *>(w)) {
                    if (sub->window_)
                        guarded([sub] { sub->window_->onMouseActivate(); });
                    break;
                }
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace fw
