// The grid control on Qt.
#include "framework/qt/QtGrid.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>

namespace fw {

namespace {

// Opens the in-place editor (digits only when asked) and tells the grid an edit began.
class CellDelegate : public QStyledItemDelegate {
public:
    CellDelegate(QtGrid *grid, bool digitsOnly) : QStyledItemDelegate(grid), grid_(grid), digits_(digitsOnly) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *line = qobject_cast<QLineEdit *>(editor); line && digits_)
            line->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), line));
        if (grid_->onEditBegin)
            grid_->onEditBegin();
        return editor;
    }

private:
    QtGrid *grid_;
    bool digits_;
};

} // namespace

QtGrid::QtGrid(QWidget *parent, bool digitsOnly) : QTableWidget(parent)
{
    setItemDelegate(new CellDelegate(this, digitsOnly));
    verticalHeader()->hide();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    QObject::connect(this, &QTableWidget::cellChanged, this, [this](int row, int column) {
        if (!applying_ && onEdited)
            onEdited(row, column, item(row, column)->text().toStdString());
    });
}

void QtGrid::setCellText(int row, int column, const std::string &text, bool fixed)
{
    QTableWidgetItem *cell = item(row, column);
    const QString t = QString::fromStdString(text);
    if (!cell) {
        cell = new QTableWidgetItem(t);
        cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (fixed) {
            cell->setFlags(Qt::ItemIsEnabled);
            cell->setBackground(palette().button());
        }
        setItem(row, column, cell);
    } else if (cell->text() != t) {
        cell->setText(t);
    }
}

void QtGrid::apply(const ControlState &s)
{
    applying_ = true;
    const int columns = static_cast<int>(s.columns.size());
    if (columnCount() != columns)
        setColumnCount(columns);
    QStringList headers;
    for (const auto &h : s.columns)
        headers << QString::fromStdString(h);
    setHorizontalHeaderLabels(headers);
    for (size_t c = 0; c < s.columnWidths.size() && static_cast<int>(c) < columns; ++c)
        setColumnWidth(static_cast<int>(c), s.columnWidths[c]);
    if (s.headerHeight > 0)
        horizontalHeader()->setFixedHeight(s.headerHeight);
    if (rowCount() != static_cast<int>(s.rows.size()))
        setRowCount(static_cast<int>(s.rows.size()));
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columns; ++c)
            setCellText(r, c, c < static_cast<int>(s.rows[r].size()) ? s.rows[r][c] : std::string(),
                        c < s.fixedColumns);
    applying_ = false;
}

} // namespace fw
