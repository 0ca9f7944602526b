// Builds the controls of a dialog template and keeps them and the window's form in step.
#pragma once

#include "framework/Form.h"
#include "framework/Resources.h"
#include "framework/Window.h"

#include <QIcon>
#include <QObject>
#include <QWidget>

class QTreeWidget;
class QTreeWidgetItem;

#include <map>
#include <vector>

namespace fw {

class QtFormBinder : public FormListener {
public:
    QtFormBinder(Window &window, QWidget *container, const DialogTemplate &t);
    ~QtFormBinder() override;

    void controlChanged(int id) override;
    QWidget *control(int id) const;
    int controlIdOf(const QWidget *widget) const;
    // Controls that fill their window follow its size.
    void layout(const QSize &size);
    QSize templateSize() const;

private:
    struct Bound {
        QWidget *widget;
        ControlKind kind;
        int flags;
    };
    QWidget *make(const ControlTemplate &c);
    void connectSignals(const ControlTemplate &c, QWidget *w);
    void apply(int id, const Bound &b);
    void applyReport(QTreeWidget *view, const ControlState &s);
    // What a tree widget shows of its form state: the widget is changed item by item.
    struct TreeMirror {
        int generation = -1;
        std::vector<QTreeWidgetItem *> items;  // by form index
        std::vector<bool> expanded;
    };
    void applyTree(QTreeWidget *view, const ControlState &s, TreeMirror &mirror);
    const QIcon &treeIcon(QTreeWidget *view, int image);

    Window &window_;
    QWidget *container_;
    const DialogTemplate &template_;
    std::map<int, Bound> bound_;
    std::map<int, TreeMirror> trees_;
    std::map<int, QIcon> treeIcons_;  // by tree image number, loaded once
    bool applying_ = false;
};

} // namespace fw
