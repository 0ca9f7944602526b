// Builds template controls and keeps them and the form in step.
#include "framework/qt/QtFormBinder.h"

#include "framework/ErrorReport.h"
#include "framework/qt/QtGrid.h"
#include "widgets/ToolbarIcons.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QTreeWidget>

namespace fw {

namespace {

QRect pixels(const ControlTemplate &c)
{
    return QRect(dluToPixelsX(c.x), dluToPixelsY(c.y), dluToPixelsX(c.width), dluToPixelsY(c.height));
}

} // namespace

QtFormBinder::QtFormBinder(Window &window, QWidget *container, const DialogTemplate &t)
    : window_(window), container_(container), template_(t)
{
    Form &form = window_.form();
    for (const auto &c : t.controls) {
        QWidget *w = make(c);
        w->setGeometry(pixels(c));
        if (c.id == 0) {
            w->show();
            continue;
        }
        w->setObjectName(QString("ctl%1").arg(c.id));
        bound_[c.id] = Bound{w, c.kind, c.flags};
        connectSignals(c, w);
        apply(c.id, bound_[c.id]);
    }
    form.setListener(this);
}

QtFormBinder::~QtFormBinder() { window_.form().setListener(nullptr); }

QSize QtFormBinder::templateSize() const
{
    return QSize(dluToPixelsX(template_.width), dluToPixelsY(template_.height));
}

QWidget *QtFormBinder::make(const ControlTemplate &c)
{
    const QString text = QString::fromStdString(c.text);
    switch (c.kind) {
    case ControlKind::Static: {
        auto *l = new QLabel(container_);
        if (c.text == "@icon")
            l->setPixmap(widgets::applicationIcon().pixmap(32, 32));
        else
            l->setText(text);
        l->setAlignment((c.flags & AlignRight ? Qt::AlignRight : Qt::AlignLeft) |
                        (c.flags & Multiline ? Qt::AlignTop : Qt::AlignVCenter));
        l->setWordWrap(c.flags & Multiline);
        if (c.flags & Bold) {
            QFont f = l->font();
            f.setBold(true);
            f.setPixelSize(18);
            l->setFont(f);
        }
        return l;
    }
    case ControlKind::Edit: {
        auto *e = new QLineEdit(text, container_);
        e->setReadOnly(c.flags & ReadOnly);
        if (c.maxLength > 0)
            e->setMaxLength(c.maxLength);
        return e;
    }
    case ControlKind::Button: return new QPushButton(text, container_);
    case ControlKind::CheckBox: return new QCheckBox(text, container_);
    case ControlKind::Radio: {
        auto *r = new QRadioButton(text, container_);
        r->setAutoExclusive(false);  // the logic ticks and clears radio buttons itself
        return r;
    }
    case ControlKind::GroupBox: {
        auto *g = new QGroupBox(text, container_);
        // The title sits on the frame's top line, as the templates were laid out for, so the
        // controls placed just below the top of the box stay inside its frame.
        g->setStyleSheet("QGroupBox { border: 1px solid palette(mid); border-radius: 3px; margin-top: 0.5em; }"
                         "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }");
        g->lower();
        return g;
    }
    case ControlKind::DropList: return new QComboBox(container_);
    case ControlKind::ListBox: {
        auto *l = new QListWidget(container_);
        l->setContextMenuPolicy(Qt::CustomContextMenu);
        l->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        l->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        l->setSortingEnabled(false);
        return l;
    }
    case ControlKind::TreeView: {
        auto *t = new QTreeWidget(container_);
        t->setHeaderHidden(true);
        t->setProperty("molvaneKind", "tree");
        return t;
    }
    case ControlKind::ListView: {
        auto *t = new QTreeWidget(container_);
        t->setRootIsDecorated(false);
        t->setAlternatingRowColors(true);
        t->setProperty("molvaneKind", "report");
        return t;
    }
    case ControlKind::Slider: return new QSlider(Qt::Horizontal, container_);
    case ControlKind::Spin: {
        auto *spin = new QSpinBox(container_);
        spin->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
        return spin;
    }
    case ControlKind::Progress: return new QProgressBar(container_);
    case ControlKind::Placeholder: return new QWidget(container_);
    case ControlKind::Grid: return new QtGrid(container_, c.flags & DigitsOnly);
    }
    return new QWidget(container_);
}

void QtFormBinder::connectSignals(const ControlTemplate &c, QWidget *w)
{
    const int id = c.id;
    Window *win = &window_;
    Form *form = &window_.form();
    if (auto *grid = dynamic_cast<QtGrid *>(w)) {
        grid->onEditBegin = [win, id] { win->dispatch(Notify::CellEditBegin, id); };
        grid->onEdited = [win, form, id](int row, int column, const std::string &text) {
            auto &rows = form->mutableState(id).rows;
            if (row < static_cast<int>(rows.size()) && column < static_cast<int>(rows[row].size()))
                rows[row][column] = text;
            win->dispatch(Notify::CellEditEnd, id);
        };
        return;
    }
    if (auto *list = qobject_cast<QListWidget *>(w)) {
        QObject::connect(list, &QListWidget::currentRowChanged, list, [this, win, form, id](int row) {
            if (applying_)
                return;
            form->mutableState(id).selection = row;
            win->dispatch(Notify::SelChange, id);
        });
        QObject::connect(list, &QListWidget::itemDoubleClicked, list, [this, win, form, id, list](QListWidgetItem *) {
            if (applying_)
                return;
            form->mutableState(id).selection = list->currentRow();
            win->dispatch(Notify::DblClick, id);
        });
        QObject::connect(list, &QListWidget::customContextMenuRequested, list, [win, id, list](const QPoint &pos) {
            const QModelIndex index = list->indexAt(pos);
            const QPoint global = list->viewport()->mapToGlobal(pos);
            guarded([&] { win->onContextMenu(id, index.isValid() ? index.row() : -1, {global.x(), global.y()}); });
        });
    } else if (auto *tree = qobject_cast<QTreeWidget *>(w)) {
        const bool report = tree->property("molvaneKind").toString() == "report";
        if (report) {
            QObject::connect(tree, &QTreeWidget::itemClicked, tree, [this, win, form, id, tree](QTreeWidgetItem *item) {
                if (applying_)
                    return;
                form->mutableState(id).selection = tree->indexOfTopLevelItem(item);
                win->dispatch(Notify::ItemClick, id);
            });
        } else {
            QObject::connect(tree, &QTreeWidget::currentItemChanged, tree, [this, win, form, id](QTreeWidgetItem *item) {
                if (applying_ || !item)
                    return;
                form->mutableState(id).selection = item->data(0, Qt::UserRole).toInt();
                win->dispatch(Notify::TreeSelChange, id);
            });
        }
    } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
        QObject::connect(combo, QOverload<int>::of(&QComboBox::activated), combo, [win, form, id](int index) {
            form->mutableState(id).selection = index;
            win->dispatch(Notify::SelChange, id);
        });
    } else if (auto *check = qobject_cast<QCheckBox *>(w)) {
        QObject::connect(check, &QCheckBox::clicked, check, [win, form, id](bool on) {
            form->mutableState(id).check = on ? 1 : 0;
            win->dispatch(Notify::Clicked, id);
        });
    } else if (auto *radio = qobject_cast<QRadioButton *>(w)) {
        QObject::connect(radio, &QRadioButton::clicked, radio, [win, form, id](bool on) {
            form->mutableState(id).check = on ? 1 : 0;
            win->dispatch(Notify::Clicked, id);
        });
    } else if (auto *button = qobject_cast<QPushButton *>(w)) {
        QObject::connect(button, &QPushButton::clicked, button, [win, id] { win->dispatch(Notify::Clicked, id); });
    } else if (auto *edit = qobject_cast<QLineEdit *>(w)) {
        QObject::connect(edit, &QLineEdit::textEdited, edit, [win, form, id](const QString &t) {
            form->mutableState(id).text = t.toStdString();
            win->dispatch(Notify::EditChange, id);
        });
    } else if (auto *slider = qobject_cast<QSlider *>(w)) {
        QObject::connect(slider, &QSlider::valueChanged, slider, [this, win, form, id](int v) {
            if (applying_)
                return;
            form->mutableState(id).pos = v;
            win->dispatch(Notify::Scroll, id);
        });
    } else if (auto *spin = qobject_cast<QSpinBox *>(w)) {
        const int buddy = c.buddy;
        QObject::connect(spin, QOverload<int>::of(&QSpinBox::valueChanged), spin, [this, win, form, id, buddy](int v) {
            if (applying_)
                return;
            form->mutableState(id).pos = v;
            if (buddy)  // an up-down control writes its position into its buddy edit
                form->setText(buddy, std::to_string(v));
            win->dispatch(Notify::SpinDelta, id);
        });
    }
}

void QtFormBinder::controlChanged(int id)
{
    auto it = bound_.find(id);
    if (it != bound_.end())
        apply(id, it->second);
}

void QtFormBinder::apply(int id, const Bound &b)
{
    const ControlState &s = window_.form().state(id);
    QWidget *w = b.widget;
    const QSignalBlocker block(w);  // a refresh never looks like an operator's edit
    applying_ = true;
    const QString text = QString::fromStdString(s.text);
    if (auto *grid = dynamic_cast<QtGrid *>(w)) {
        grid->apply(s);
    } else if (auto *l = qobject_cast<QLabel *>(w)) {
        if (l->pixmap().isNull())
            l->setText(text);
    } else if (auto *e = qobject_cast<QLineEdit *>(w)) {
        if (e->text() != text)
            e->setText(text);
    } else if (auto *btn = qobject_cast<QAbstractButton *>(w)) {
        btn->setText(text);
        if (btn->isCheckable())
            btn->setChecked(s.check != 0);
    } else if (auto *g = qobject_cast<QGroupBox *>(w)) {
        g->setTitle(text);
    } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
        QStringList items;
        for (const auto &i : s.items)
            items << QString::fromStdString(i);
        QStringList current;
        for (int i = 0; i < combo->count(); ++i)
            current << combo->itemText(i);
        if (current != items) {
            combo->clear();
            combo->addItems(items);
        }
        combo->setCurrentIndex(s.selection);
    } else if (auto *list = qobject_cast<QListWidget *>(w)) {
        QStringList items;
        for (const auto &i : s.items)
            items << QString::fromStdString(i);
        QStringList current;
        for (int i = 0; i < list->count(); ++i)
            current << list->item(i)->text();
        if (current != items) {
            list->clear();
            list->addItems(items);
        }
        list->setCurrentRow(s.selection);
        if (s.selection < 0)
            list->clearSelection();
    } else if (auto *tree = qobject_cast<QTreeWidget *>(w)) {
        if (tree->property("molvaneKind").toString() == "report")
            applyReport(tree, s);
        else
            applyTree(tree, s, trees_[id]);
    } else if (auto *slider = qobject_cast<QSlider *>(w)) {
        slider->setRange(s.rangeMin, s.rangeMax);
        slider->setValue(s.pos);
    } else if (auto *spin = qobject_cast<QSpinBox *>(w)) {
        spin->setRange(s.rangeMin, s.rangeMax);
        spin->setValue(s.pos);
    } else if (auto *bar = qobject_cast<QProgressBar *>(w)) {
        bar->setRange(s.rangeMin, s.rangeMax);
        bar->setValue(s.pos);
    }
    w->setEnabled(s.enabled);
    w->setVisible(s.visible);
    applying_ = false;
}

void QtFormBinder::applyReport(QTreeWidget *view, const ControlState &s)
{
    QStringList headers;
    for (const auto &h : s.columns)
        headers << QString::fromStdString(h);
    view->setColumnCount(std::max(1, static_cast<int>(headers.size())));
    view->setHeaderLabels(headers);
    for (size_t i = 0; i < s.columnWidths.size(); ++i)
        view->setColumnWidth(static_cast<int>(i), s.columnWidths[i]);
    // Rows are rebuilt only when they differ, so a refresh keeps the scroll position.
    bool same = view->topLevelItemCount() == static_cast<int>(s.rows.size());
    for (int r = 0; same && r < view->topLevelItemCount(); ++r)
        for (int c = 0; same && c < static_cast<int>(s.rows[r].size()); ++c)
            same = view->topLevelItem(r)->text(c).toStdString() == s.rows[r][c];
    if (!same) {
        view->clear();
        for (const auto &row : s.rows) {
            auto *item = new QTreeWidgetItem(view);
            for (size_t c = 0; c < row.size(); ++c) {
                item->setText(static_cast<int>(c), QString::fromStdString(row[c]));
                item->setTextAlignment(static_cast<int>(c), Qt::AlignCenter);
            }
        }
    }
    if (s.selection >= 0 && s.selection < view->topLevelItemCount())
        view->setCurrentItem(view->topLevelItem(s.selection));
    else
        view->clearSelection();
}

void QtFormBinder::applyTree(QTreeWidget *view, const ControlState &s, TreeMirror &mirror)
{
    // A fill inserts one item at a time: only the items the form added since the last change
    // are created, so filling a tree of n nodes costs n insertions, not n rebuilds.
    if (mirror.generation != s.treeGeneration || s.tree.size() < mirror.items.size()) {
        view->clear();
        mirror = TreeMirror{s.treeGeneration, {}, {}};
    }
    for (size_t i = mirror.items.size(); i < s.tree.size(); ++i) {
        const TreeItem &t = s.tree[i];
        const bool nested = t.parent >= 0 && t.parent < static_cast<int>(i);
        auto *item = nested ? new QTreeWidgetItem(mirror.items[t.parent]) : new QTreeWidgetItem(view);
        item->setText(0, QString::fromStdString(t.text));
        item->setData(0, Qt::UserRole, static_cast<int>(i));
        item->setIcon(0, treeIcon(view, t.image));
        mirror.items.push_back(item);
        mirror.expanded.push_back(false);
    }
    for (size_t i = 0; i < s.tree.size(); ++i)
        if (mirror.expanded[i] != s.tree[i].expanded) {
            mirror.items[i]->setExpanded(s.tree[i].expanded);
            mirror.expanded[i] = s.tree[i].expanded;
        }
    if (s.selection >= 0 && s.selection < static_cast<int>(mirror.items.size()))
        view->setCurrentItem(mirror.items[s.selection]);
}

const QIcon &QtFormBinder::treeIcon(QTreeWidget *view, int image)
{
    auto it = treeIcons_.find(image);
    if (it != treeIcons_.end())
        return it->second;
    const QStyle::StandardPixmap icon = image == 3 ? QStyle::SP_FileIcon
                                        : image == 0 ? QStyle::SP_ComputerIcon : QStyle::SP_DirIcon;
    return treeIcons_[image] = view->style()->standardIcon(icon);
}

QWidget *QtFormBinder::control(int id) const
{
    auto it = bound_.find(id);
    return it == bound_.end() ? nullptr : it->second.widget;
}

int QtFormBinder::controlIdOf(const QWidget *widget) const
{
    for (const auto &[id, b] : bound_)
        if (b.widget == widget || b.widget->isAncestorOf(widget))
            return id;
    return 0;
}

void QtFormBinder::layout(const QSize &size)
{
    for (auto &[id, b] : bound_)
        if (b.flags & FillParent)
            b.widget->setGeometry(0, 0, size.width(), size.height());
    const int templateHeight = templateSize().height();
    for (const auto &c : template_.controls) {
        QWidget *w = (c.flags & FillHeight) ? control(c.id) : nullptr;
        if (!w)
            continue;
        const QRect r = pixels(c);
        const int margin = templateHeight - (r.y() + r.height());
        w->setGeometry(r.x(), r.y(), r.width(), std::max(r.height(), size.height() - r.y() - margin));
    }
}

} // namespace fw
