#pragma once

#include <QObject>

namespace quorvel {

class CheckListView;
class MainWindow;

// Sorts any checkable list by one column: the texts of every row are rewritten in the new
// order in one model change, while check marks and selection stay with the row positions.
// kind: 0 number, 1 text, 2 date-time, 3 truth value (any other code sorts as text).
void sortListByColumn(CheckListView &list, int column, int kind = 1, bool caseSensitive = true, bool ascending = true);

// A click on a column heading of the result list: flips the hidden direction box 选择框3
// (checked means ascending, so the first click after start sorts descending) and sorts by
// that column as text, with regard to case. Held off while a batch operation runs, since
// it would move rows under the batch.
class ColumnSort : public QObject
{
    Q_OBJECT

  public:
    explicit ColumnSort(MainWindow &window);

    void sortResultsByHeading(int column);

  private:
    MainWindow &m_window;
};

} // namespace quorvel
