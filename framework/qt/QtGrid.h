// The grid control on Qt: a table whose header row and fixed first columns come from the form
// and whose other cells the operator edits in place.
#pragma once

#include "framework/Form.h"

#include <QTableWidget>

#include <functional>
#include <string>

namespace fw {

class QtGrid : public QTableWidget {
public:
    QtGrid(QWidget *parent, bool digitsOnly);

    // Mirrors the form's state; cells whose text is unchanged are left alone.
    void apply(const ControlState &s);

    std::function<void()> onEditBegin;
    std::function<void(int row, int column, const std::string &text)> onEdited;

private:
    void setCellText(int row, int column, const std::string &text, bool fixed);

    bool applying_ = false;
};

} // namespace fw
