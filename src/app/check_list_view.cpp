#include "app/check_list_view.h"

#include <QHeaderView>
#include <QMouseEvent>

#include <algorithm>

namespace quorvel {

CheckListView::CheckListView(const QStringList &headings, const std::vector<int> &widths, QWidget *parent)
    : QTableView(parent), m_model(new CheckListModel(headings, this))
{
    setModel(m_model);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Every row has the same height, fixed, so nothing is measured per row.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setSectionsMovable(false);
    for (std::size_t i = 0; i < widths.size(); ++i)
        setColumnWidth(static_cast<int>(i), widths[i]);
}

int CheckListView::rowCount() const
{
    return m_model->rowCount();
}

int CheckListView::insertRow(int position, std::string_view text)
{
    return m_model->insertTextRow(position, text);
}

std::string CheckListView::cellText(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return {};
    return std::string(m_model->rows().cell(static_cast<std::size_t>(row), column));
}

void CheckListView::setCellText(int row, int column, std::string_view text)
{
    m_model->setCellText(row, column, text);
}

bool CheckListView::isRowChecked(int row) const
{
    return row >= 0 && row < rowCount() && m_model->rows().isChecked(static_cast<std::size_t>(row));
}

void CheckListView::setRowChecked(int row, bool checked)
{
    m_model->setRowChecked(row, checked);
}

bool CheckListView::isRowSelected(int row) const
{
    return row >= 0 && row < rowCount() && selectionModel()->isRowSelected(row, {});
}

std::vector<int> CheckListView::selectedRows() const
{
    std::vector<int> rows;
    for (const QItemSelectionRange &range : selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int CheckListView::selectedRow() const
{
    int first = -1;
    for (const QItemSelectionRange &range : selectionModel()->selection()) {
        if (first < 0 || range.top() < first)
            first = range.top();
    }
    return first;
}

void CheckListView::deleteRow(int row)
{
    m_model->removeRowAt(row);
}

void CheckListView::deleteAllRows()
{
    m_model->removeAllRows();
}

int CheckListView::columnCount() const
{
    return m_model->columnCount();
}

void CheckListView::mousePressEvent(QMouseEvent *event)
{
    QTableView::mousePressEvent(event);
    if (event->button() == Qt::RightButton)
        emit rightButtonPressed(event->globalPosition().toPoint());
}

} // namespace quorvel
