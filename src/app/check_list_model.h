#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <cstdint>
#include <string_view>
#include <vector>

#include "results/row_store.h"

namespace quorvel {

class RowBatch;

// The model behind both checkable lists: rows of byte texts with a check box in column 0,
// over a RowStore. Every bulk change is one model signal, whatever the number of rows:
// a batch of new rows is one insertion, checking every row one dataChanged, a sort one
// dataChanged over the whole list.
class CheckListModel : public QAbstractTableModel
{
    Q_OBJECT

  public:
    // The raw bytes of a cell, as a QByteArray: what actions use, never the display text.
    static constexpr int RawBytesRole = Qt::UserRole + 1;

    explicit CheckListModel(QStringList headers, QObject *parent = nullptr);

    const RowStore &rows() const { return m_rows; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override;

    // Inserts one unchecked row; position 0 puts it first, at or past the end appends it.
    // Returns the new row's index.
    int insertTextRow(int position, std::string_view first, std::string_view second = {});
    // Puts every row of the batch on top, one after another: the batch's last row ends first.
    void prependBatch(const RowBatch &batch);
    // Appends every row of the batch, in its order.
    void appendBatch(const RowBatch &batch);
    void setCellText(int row, int column, std::string_view text);
    void setRowChecked(int row, bool checked);
    void setAllChecked(bool checked);
    // Sets the check mark of every listed row (ascending, no repeats) in one change.
    void setRowsChecked(const std::vector<int> &ascendingRows, bool checked);
    void removeRowAt(int row);
    // Removes the rows (ascending, no repeats), one change per run of neighbours, or one
    // reset when they are many.
    void removeRowsAt(const std::vector<std::size_t> &ascendingRows);
    void removeAllRows();
    // Rewrites every row's texts in a new order (position s gets row sourceOf[s]); check
    // marks and selection stay with the positions.
    void permuteTexts(const std::vector<std::uint32_t> &sourceOf);

  private:
    QStringList m_headers;
    RowStore m_rows;
};

} // namespace quorvel
