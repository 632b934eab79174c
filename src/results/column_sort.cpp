#include "results/column_sort.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>

#include "app/main_window.h"
#include "results/sort_order.h"

namespace quorvel {

void sortListByColumn(CheckListView &list, int column, int kind, bool caseSensitive, bool ascending)
{
    const RowStore &rows = list.rows().rows();
    if (rows.empty())
        return;
    const std::vector<std::size_t> order = sortedSourceRows(
        rows.size(), [&rows, column](std::size_t row) { return rows.cell(row, column); }, kind, caseSensitive,
        ascending);
    list.rows().permuteTexts(std::vector<std::uint32_t>(order.begin(), order.end()));
}

ColumnSort::ColumnSort(MainWindow &window) : QObject(&window), m_window(window)
{
    QHeaderView *header = window.超级列表框1->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    connect(header, &QHeaderView::sectionClicked, this, &ColumnSort::sortResultsByHeading);
}

void ColumnSort::sortResultsByHeading(int column)
{
    if (m_window.activity().batchRunning()) {
        QApplication::beep();
        return;
    }
    m_window.选择框3->setChecked(!m_window.选择框3->isChecked());
    sortListByColumn(*m_window.超级列表框1, column, 1, true, m_window.选择框3->isChecked());
}

} // namespace quorvel
