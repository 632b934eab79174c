#include "app/check_list_model.h"

#include <QMimeData>

#include <algorithm>
#include <set>

#include "app/qt_text.h"
#include "search/found_rows.h"

namespace quorvel {

CheckListModel::CheckListModel(QStringList headers, QObject *parent)
    : QAbstractTableModel(parent), m_headers(std::move(headers)), m_rows(static_cast<int>(m_headers.size()))
{
}

int CheckListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CheckListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

QVariant CheckListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= m_rows.size())
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return toDisplay(m_rows.cell(row, index.column()));
    case Qt::CheckStateRole:
        if (index.column() == 0)
            return m_rows.isChecked(row) ? Qt::Checked : Qt::Unchecked;
        return {};
    case RawBytesRole: {
        const std::string_view text = m_rows.cell(row, index.column());
        return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
    }
    default:
        return {};
    }
}

bool CheckListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole)
        return false;
    setRowChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags CheckListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren | Qt::ItemIsDragEnabled;
    if (index.column() == 0)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant CheckListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_headers.size())
        return m_headers.at(section);
    return {};
}

QStringList CheckListModel::mimeTypes() const
{
    return {QStringLiteral("text/uri-list")};
}

QMimeData *CheckListModel::mimeData(const QModelIndexList &indexes) const
{
    std::set<int> rows;
    for (const QModelIndex &index : indexes)
        rows.insert(index.row());
    QList<QUrl> urls;
    for (int row : rows)
        urls.append(fileUrlOf(m_rows.cell(static_cast<std::size_t>(row), 0)));
    auto *mime = new QMimeData;
    mime->setUrls(urls);
    return mime;
}

Qt::DropActions CheckListModel::supportedDragActions() const
{
    return Qt::CopyAction;
}

int CheckListModel::insertTextRow(int position, std::string_view first, std::string_view second)
{
    const int count = rowCount();
    const int at = position < 0 || position >= count ? count : position;
    beginInsertRows({}, at, at);
    m_rows.insert(static_cast<std::size_t>(at), first, second);
    endInsertRows();
    return at;
}

void CheckListModel::prependBatch(const RowBatch &batch)
{
    if (batch.empty())
        return;
    beginInsertRows({}, 0, static_cast<int>(batch.size()) - 1);
    for (std::size_t i = 0; i < batch.size(); ++i)
        m_rows.prepend(batch.path(i), batch.name(i));
    endInsertRows();
}

void CheckListModel::appendBatch(const RowBatch &batch)
{
    if (batch.empty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(batch.size()) - 1);
    for (std::size_t i = 0; i < batch.size(); ++i)
        m_rows.append(batch.path(i), batch.name(i));
    endInsertRows();
}

void CheckListModel::setCellText(int row, int column, std::string_view text)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return;
    m_rows.setCell(static_cast<std::size_t>(row), column, text);
    emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole});
}

void CheckListModel::setRowChecked(int row, bool checked)
{
    if (row < 0 || row >= rowCount())
        return;
    m_rows.setChecked(static_cast<std::size_t>(row), checked);
    emit dataChanged(index(row, 0), index(row, 0), {Qt::CheckStateRole});
}

void CheckListModel::setAllChecked(bool checked)
{
    if (m_rows.empty())
        return;
    m_rows.setAllChecked(checked);
    emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
}

void CheckListModel::setRowsChecked(const std::vector<int> &ascendingRows, bool checked)
{
    if (ascendingRows.empty())
        return;
    for (int row : ascendingRows)
        m_rows.setChecked(static_cast<std::size_t>(row), checked);
    emit dataChanged(index(ascendingRows.front(), 0), index(ascendingRows.back(), 0), {Qt::CheckStateRole});
}

void CheckListModel::removeRowAt(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows({}, row, row);
    m_rows.erase(static_cast<std::size_t>(row));
    endRemoveRows();
}

void CheckListModel::removeRowsAt(const std::vector<std::size_t> &ascendingRows)
{
    if (ascendingRows.empty())
        return;
    // Runs of neighbouring rows, each removed with one signal, from the bottom up so the
    // indices of the runs above stay right.
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    for (std::size_t row : ascendingRows) {
        if (!runs.empty() && runs.back().second + 1 == row)
            runs.back().second = row;
        else
            runs.emplace_back(row, row);
    }
    if (runs.size() > 64) {
        beginResetModel();
        m_rows.eraseRows(ascendingRows);
        endResetModel();
        return;
    }
    for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
        beginRemoveRows({}, static_cast<int>(it->first), static_cast<int>(it->second));
        std::vector<std::size_t> run;
        for (std::size_t row = it->first; row <= it->second; ++row)
            run.push_back(row);
        m_rows.eraseRows(run);
        endRemoveRows();
    }
}

void CheckListModel::removeAllRows()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void CheckListModel::permuteTexts(const std::vector<std::uint32_t> &sourceOf)
{
    if (m_rows.empty())
        return;
    m_rows.permuteTexts(sourceOf);
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
}

} // namespace quorvel
