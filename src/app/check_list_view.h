#pragma once

#include <QTableView>

#include <string>
#include <string_view>
#include <vector>

#include "app/check_list_model.h"

namespace quorvel {

// A list control in report view with a check box per row, whole-row selection and several
// rows selectable: the search path list and the result list. A table view without a grid
// or row headings: unlike a tree view it keeps no per-row layout, so a batch of rows put on
// top of a million costs the same as on top of ten. Its methods are the control
// services the handlers use on a list; rows and columns are numbered from 0.
class CheckListView : public QTableView
{
    Q_OBJECT

  public:
    // One column per heading, with its width in pixels.
    CheckListView(const QStringList &headings, const std::vector<int> &widths, QWidget *parent = nullptr);

    CheckListModel &rows() { return *m_model; }
    const CheckListModel &rows() const { return *m_model; }

    int rowCount() const;
    // Inserts an unchecked row holding text in its first cell; position 0 puts it first,
    // a position at or past the end (or -1) appends it. Returns the new row's index.
    int insertRow(int position = -1, std::string_view text = {});
    std::string cellText(int row, int column) const;
    void setCellText(int row, int column, std::string_view text);
    bool isRowChecked(int row) const;
    void setRowChecked(int row, bool checked);
    bool isRowSelected(int row) const;
    // The first selected row, or -1 when none is.
    int selectedRow() const;
    // Every selected row, ascending.
    std::vector<int> selectedRows() const;
    // Removes one row (the rows below move up); -1 removes nothing.
    void deleteRow(int row);
    void deleteAllRows();
    int columnCount() const;

  signals:
    // The right mouse button was pressed over the list (rows or not), at this screen point.
    void rightButtonPressed(const QPoint &globalPos);

  protected:
    void mousePressEvent(QMouseEvent *event) override;

  private:
    CheckListModel *m_model;
};

} // namespace quorvel
