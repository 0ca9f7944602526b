// The main frame on Qt.
#include "framework/qt/QtMainWindow.h"

#include "framework/ErrorReport.h"
#include "framework/Resources.h"
#include "framework/qt/QtWindowLayout.h"
#include "framework/qt/QtWindowWidget.h"
#include "widgets/ToolbarIcons.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QLabel>
#include <QMdiArea>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QSlider>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

namespace fw {

namespace {

// The tool tip of a command: the text after the string's line break.
QString toolTipOf(int id)
{
    const std::string s = loadString(id);
    const auto nl = s.find('\n');
    return QString::fromStdString(nl == std::string::npos ? s : s.substr(nl + 1)).trimmed();
}

QString statusTipOf(int id)
{
    const std::string s = loadString(id);
    return QString::fromStdString(s.substr(0, s.find('\n'))).trimmed();
}

} // namespace

QtMainWindow::QtMainWindow(FrameWindow &window, const WindowSpec &params)
    : window_(&window), mdi_(new QMdiArea(this))
{
    setWindowTitle(QString::fromStdString(params.caption));
    setWindowIcon(widgets::applicationIcon());
    mdi_->setBackground(QColor(120, 124, 130));
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The camera windows keep a usable area however the panes are sized.
    mdi_->setMinimumSize(320, 240);
    setCentralWidget(mdi_);
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowNestedDocks);
    // The panes docked at the left run the full height; a bottom pane sits beside them.
    setCorner(Qt::BottomLeftCorner, Qt::LeftDockWidgetArea);
    resize(params.rect.width(), params.rect.height());
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *sub) { subWindowActivated(sub); });
    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] { updateCommandUi(); });
    timer->start(100);
}

QtMainWindow::~QtMainWindow() = default;

void QtMainWindow::setVisible(bool visible)
{
    // The toolbar and menus show the commands' state from the first paint on, not a tick later.
    if (visible)
        updateCommandUi();
    QMainWindow::setVisible(visible);
}

void QtMainWindow::setGeometry(const Rect &r) { QMainWindow::setGeometry(r.left, r.top, r.width(), r.height()); }

Rect QtMainWindow::geometry() const
{
    QRect g = QMainWindow::geometry();
    return {g.left(), g.top(), g.right() + 1, g.bottom() + 1};
}

Rect QtMainWindow::clientRect() const
{
    QRect c = mdi_->geometry();
    return {0, 0, c.width(), c.height()};
}

void QtMainWindow::setTitle(const std::string &title) { setWindowTitle(QString::fromStdString(title)); }

std::string QtMainWindow::title() const { return windowTitle().toStdString(); }

Rect QtMainWindow::controlScreenRect(int) const
{
    QPoint p = mapToGlobal(QPoint(0, 0));
    return {p.x(), p.y(), p.x() + width(), p.y() + height()};
}

Point QtMainWindow::clientToScreen(Point p) const
{
    QPoint g = mdi_->mapToGlobal(QPoint(p.x, p.y));
    return {g.x(), g.y()};
}

void QtMainWindow::setMenu(int id)
{
    const Menu *menu = findMenu(id);
    if (!menu)
        return;
    menuId_ = id;
    menuBar()->clear();
    menuActions_.clear();
    std::function<void(QMenu *, const MenuItem &)> fill = [&](QMenu *parent, const MenuItem &item) {
        for (const auto &sub : item.items) {
            if (sub.isSeparator()) {
                parent->addSeparator();
            } else if (sub.isPopup()) {
                fill(parent->addMenu(QString::fromStdString(sub.text)), sub);
            } else {
                QAction *a = parent->addAction(QString::fromStdString(sub.text));
                const int cmd = sub.id;
                a->setStatusTip(statusTipOf(cmd));
                if (checks_.count(cmd)) {
                    a->setCheckable(true);
                    a->setChecked(checks_[cmd]);
                }
                connect(a, &QAction::triggered, this, [this, cmd] { postCommand(cmd); });
                menuActions_.insert({cmd, a});
            }
        }
    };
    for (const auto &top : menu->items)
        fill(menuBar()->addMenu(QString::fromStdString(top.text)), top);
}

void QtMainWindow::setMenuCheck(int commandId, bool checked)
{
    checks_[commandId] = checked;
    auto range = menuActions_.equal_range(commandId);
    for (auto it = range.first; it != range.second; ++it) {
        it->second->setCheckable(true);
        it->second->setChecked(checked);
    }
}

bool QtMainWindow::menuChecked(int commandId) const
{
    auto it = checks_.find(commandId);
    return it != checks_.end() && it->second;
}

bool QtMainWindow::createToolBar(int resourceId)
{
    const ToolbarTemplate *t = findToolbar(resourceId);
    if (!t)
        return false;
    auto *bar = new QToolBar(QString::fromStdString(t->title), this);
    bar->setObjectName(QString("toolbar%1").arg(resourceId));
    bar->setIconSize(QSize(24, 24));
    for (const auto &b : t->buttons) {
        if (b.id == 0) {
            bar->addSeparator();
            continue;
        }
        QAction *a = bar->addAction(widgets::toolbarIcon(QString::fromStdString(b.icon)), toolTipOf(b.id));
        a->setToolTip(toolTipOf(b.id));
        a->setStatusTip(statusTipOf(b.id));
        a->setData(b.id);
        const int cmd = b.id;
        connect(a, &QAction::triggered, this, [this, cmd] { postCommand(cmd); });
        toolActions_.insert({cmd, a});
    }
    toolBars_[resourceId] = bar;
    addToolBar(Qt::TopToolBarArea, bar);
    return true;
}

void QtMainWindow::showToolBar(int resourceId, bool visible)
{
    if (auto it = toolBars_.find(resourceId); it != toolBars_.end())
        it->second->setVisible(visible);
}

bool QtMainWindow::toolBarVisible(int resourceId) const
{
    auto it = toolBars_.find(resourceId);
    return it != toolBars_.end() && !it->second->isHidden();
}

void QtMainWindow::dockToolBar(int resourceId)
{
    if (auto it = toolBars_.find(resourceId); it != toolBars_.end())
        addToolBar(Qt::TopToolBarArea, it->second);
}

void QtMainWindow::dockToolBarLeftOf(int resourceId, int ofResourceId)
{
    auto it = toolBars_.find(resourceId), of = toolBars_.find(ofResourceId);
    if (it != toolBars_.end() && of != toolBars_.end())
        insertToolBar(of->second, it->second);
}

void QtMainWindow::replaceWithSlider(int commandId, int min, int max, int pos)
{
    auto it = toolActions_.find(commandId);
    if (it == toolActions_.end())
        return;
    QAction *action = it->second;
    auto *bar = qobject_cast<QToolBar *>(action->parent());
    auto *slider = new QSlider(Qt::Horizontal, bar);
    slider->setObjectName("zoomSlider");
    slider->setRange(min, max);
    slider->setValue(pos);
    slider->setFixedWidth(160);
    slider->setToolTip(toolTipOf(commandId));
    slider->setStatusTip(statusTipOf(commandId));
    bar->insertWidget(action, slider);
    bar->removeAction(action);
    toolActions_.erase(it);
    sliders_[commandId] = slider;
    // Every change of position, by the operator or by a command, is the slider's notification.
    connect(slider, &QSlider::valueChanged, this, [this, commandId] {
        if (window_)
            window_->routeCommand(commandId);
    });
}

void QtMainWindow::setSliderPos(int commandId, int pos)
{
    if (auto it = sliders_.find(commandId); it != sliders_.end())
        it->second->setValue(pos);
}

int QtMainWindow::sliderPos(int commandId) const
{
    auto it = sliders_.find(commandId);
    return it == sliders_.end() ? 0 : it->second->value();
}

void QtMainWindow::enableSlider(int commandId, bool enabled)
{
    if (auto it = sliders_.find(commandId); it != sliders_.end())
        it->second->setEnabled(enabled);
}

bool QtMainWindow::createStatusBar(const std::vector<std::string> &indicators)
{
    QStatusBar *bar = statusBar();
    if (indicators.empty())
        return true;
    // The idle text is a widget of the bar, so it comes back when a status tip or a message
    // shown over it goes away.
    auto *idle = new QLabel(QString::fromStdString(indicators.front()), bar);
    idle->setObjectName("statusIdle");
    bar->addWidget(idle, 1);
    for (size_t i = 1; i < indicators.size(); ++i) {
        auto *l = new QLabel(QString::fromStdString(indicators[i]), bar);
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        l->setMinimumWidth(40);
        l->setAlignment(Qt::AlignCenter);
        l->setEnabled(false);  // key states are not known on this platform
        bar->addPermanentWidget(l);
    }
    return true;
}

void QtMainWindow::setStatusText(const std::string &text)
{
    statusBar()->showMessage(QString::fromStdString(text));
}

void QtMainWindow::addPane(QDockWidget *dock, Window &pane, DockArea area)
{
    static const Qt::DockWidgetArea areas[] = {Qt::LeftDockWidgetArea, Qt::RightDockWidgetArea,
                                               Qt::TopDockWidgetArea, Qt::BottomDockWidgetArea};
    docks_[&pane] = dock;
    addDockWidget(areas[static_cast<int>(area)], dock);
    // A pane made after the layout was restored (the control pane) takes its saved place.
    if (!defaultState_.isEmpty())
        restoreDockWidget(dock);
}

QDockWidget *QtMainWindow::dockOf(Window &pane) const
{
    auto it = docks_.find(&pane);
    return it == docks_.end() ? nullptr : it->second;
}

void QtMainWindow::dockPaneBelow(Window &pane, Window &above)
{
    QDockWidget *a = dockOf(above), *b = dockOf(pane);
    if (a && b)
        splitDockWidget(a, b, Qt::Vertical);
}

void QtMainWindow::resizePane(Window &pane, Size size)
{
    if (QDockWidget *d = dockOf(pane)) {
        paneSizes_[d] = size;
        fitPane(d, size);
    }
}

QSize QtMainWindow::formRoom(QDockWidget *dock)
{
    QSize room(0, 0);
    for (auto *scroll : dock->widget()->findChildren<QScrollArea *>(Qt::FindDirectChildrenOnly))
        if (scroll->widget())
            room = room.expandedTo(scroll->widget()->minimumSize() +
                                   QSize(scroll->verticalScrollBar()->sizeHint().width(), 0));
    return room;
}

void QtMainWindow::fitPane(QDockWidget *dock, Size size)
{
    // The column is as wide as the widest form in it; the panes below this one in the column
    // get the height of their forms where there is room, this one at least the height asked.
    const Qt::DockWidgetArea area = dockWidgetArea(dock);
    QList<QDockWidget *> column;
    QList<int> heights;
    int width = size.width, total = 0, others = 0;
    for (const auto &[pane, d] : docks_) {
        if (d->isFloating() || d->isHidden() || dockWidgetArea(d) != area)
            continue;
        const QSize room = formRoom(d);
        width = std::max(width, room.width());
        total += d->height();
        column << d;
        heights << room.height() + d->minimumSizeHint().height();  // the form below the title
        if (d != dock)
            others += heights.back();
    }
    total -= (column.size() - 1) * style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, this);
    // The height asked is the pane's client height, below its title.
    const int asked = size.height + dock->minimumSizeHint().height();
    const int mine = column.indexOf(dock);
    heights[mine] = std::max(asked, total - others);
    // Where the column is too short, the others give way (their forms scroll), not this one.
    int excess = heights[mine] + others - total;
    for (int i = 0; i < heights.size() && excess > 0; ++i) {
        if (i == mine)
            continue;
        const int give = std::min(excess, heights[i] - column[i]->minimumSizeHint().height());
        heights[i] -= give;
        excess -= give;
    }
    resizeDocks({dock}, {width}, Qt::Horizontal);
    resizeDocks(column, heights, Qt::Vertical);
}

void QtMainWindow::addChild(QMdiSubWindow *sub, Window &child, const Rect &rect)
{
    children_[sub] = &child;
    mdi_->addSubWindow(sub);
    // The logic places its windows; the area's own placement is overridden.
    sub->setGeometry(rect.left, rect.top, rect.width(), rect.height());
}

void QtMainWindow::removeChild(QMdiSubWindow *sub)
{
    auto it = children_.find(sub);
    if (it == children_.end())
        return;
    const bool wasActive = it->second == active_;
    children_.erase(it);
    mdi_->removeSubWindow(sub);
    if (!wasActive)
        return;
    // The area may already count the next window as active and then says nothing: the
    // frame activates it itself, so commands and panes follow it.
    active_ = nullptr;
    if (QMdiSubWindow *next = latestOtherChild())
        activateChild(*children_[next]);
}

// The child activated most recently, other than the active one.
QMdiSubWindow *QtMainWindow::latestOtherChild() const
{
    const QList<QMdiSubWindow *> history = mdi_->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = history.rbegin(); it != history.rend(); ++it) {
        auto child = children_.find(*it);
        if (child != children_.end() && child->second != active_)
            return *it;
    }
    return nullptr;
}

void QtMainWindow::subWindowActivated(QMdiSubWindow *sub)
{
    auto it = children_.find(sub);
    if (it == children_.end() || it->second == active_)
        return;
    Window *previous = active_;
    active_ = it->second;
    if (previous)
        guarded([previous] { previous->onActivate(false); });
    guarded([this] { active_->onActivate(true); });
}

Window *QtMainWindow::activeChild() const { return active_; }

void QtMainWindow::activateChild(Window &child)
{
    for (auto &[sub, w] : children_) {
        if (w == &child) {
            sub->show();
            mdi_->setActiveSubWindow(sub);
            subWindowActivated(sub);  // also when the main window itself is not active
            return;
        }
    }
}

void QtMainWindow::activateNextChild()
{
    if (QMdiSubWindow *next = latestOtherChild())
        activateChild(*children_[next]);
}

std::vector<Window *> QtMainWindow::children() const
{
    std::vector<Window *> out;
    for (const auto &[sub, w] : children_)
        out.push_back(w);
    return out;
}

// The layout of the last run when there is one, else the whole screen.
void QtMainWindow::showMaximized()
{
    defaultState_ = saveState();
    if (QtWindowLayout::restore(*this) && !isMaximized()) {
        show();
        QtWindowLayout::keepOnScreen(*this);
    } else  // a maximised window fills this screen as on a first run, docks and toolbars as left
        fillScreen();
}

void QtMainWindow::fillScreen()
{
    // Without a window manager (Xvfb, kiosk sessions) maximizing does nothing: fill the screen.
    if (QScreen *screen = QGuiApplication::primaryScreen())
        QMainWindow::setGeometry(screen->availableGeometry());
    QMainWindow::showMaximized();
    // The panes' sizes were asked for a window not yet shown: ask again in the final one.
    QTimer::singleShot(0, this, [this] {
        for (const auto &[dock, size] : paneSizes_)
            fitPane(dock, size);
    });
}

void QtMainWindow::saveLayout() { QtWindowLayout::save(*this); }

void QtMainWindow::resetLayout()
{
    QtWindowLayout::forget();
    if (!defaultState_.isEmpty())
        restoreState(defaultState_);
    showNormal();
    fillScreen();
}

void QtMainWindow::updateCommandUi()
{
    if (!window_)
        return;
    for (auto &[id, action] : toolActions_) {
        CommandUi ui = window_->commandUi(id);
        action->setEnabled(ui.enabled);
        action->setCheckable(true);
        action->setChecked(ui.checked);
    }
    for (auto &[id, action] : menuActions_)
        action->setEnabled(window_->commandUi(id).enabled);
    for (auto &[id, slider] : sliders_)
        slider->setEnabled(window_->commandUi(id).enabled);
}

void QtMainWindow::postCommand(int id)
{
    // Commands run after the menu or toolbar event that sent them, as WM_COMMAND does, so a
    // command that closes the frame never deletes the widget that is still delivering it.
    postToWindow(window_, [id](Window &w) { static_cast<FrameWindow &>(w).routeCommand(id); });
}

void QtMainWindow::closeEvent(QCloseEvent *event)
{
    event->ignore();
    postCloseBox(window_);
}

} // namespace fw
