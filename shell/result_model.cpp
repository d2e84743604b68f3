#include "result_model.h"

#include "screen_text.h"

namespace dnsbatch {

namespace {
const std::string kNoText;
}

ResultModel::ResultModel(QObject *parent) : QAbstractTableModel(parent) {}

int ResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ResultModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant ResultModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return toScreen(cell(index.row(), index.column()));
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumns)
        return {};
    static const char *const headings[kColumns] = {"QNAME", "NAME", "IP", "\xB9\xE9\xCA\xF4" /* 归属 */};
    return toScreen(headings[section]);
}

int ResultModel::appendRow(std::string column0)
{
    const int row = static_cast<int>(rows_.size());
    beginInsertRows({}, row, row);
    rows_.push_back(ResultRow{{std::move(column0), {}, {}, {}}});
    endInsertRows();
    return row;
}

void ResultModel::setCell(int row, int column, std::string text)
{
    if (row < 0 || row >= static_cast<int>(rows_.size()) || column < 0 || column >= kColumns)
        return;
    rows_[static_cast<size_t>(row)].cells[static_cast<size_t>(column)] = std::move(text);
    const QModelIndex changed = index(row, column);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

const std::string &ResultModel::cell(int row, int column) const
{
    if (row < 0 || row >= static_cast<int>(rows_.size()) || column < 0 || column >= kColumns)
        return kNoText;
    return rows_[static_cast<size_t>(row)].cells[static_cast<size_t>(column)];
}

void ResultModel::removeAllRows()
{
    if (rows_.empty())
        return;
    beginResetModel();
    std::vector<ResultRow>().swap(rows_);
    endResetModel();
}

}  // namespace dnsbatch
