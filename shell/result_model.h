// The rows of the results list 超级列表框1: a plain struct per row, cells
// kept as the GBK bytes they were set to, decoded only when shown.
#pragma once

#include <QAbstractTableModel>
#include <array>
#include <string>
#include <vector>

namespace dnsbatch {

struct ResultRow {
    std::array<std::string, 4> cells;  // QNAME, NAME, IP, 归属
};

class ResultModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kColumns = 4;

    explicit ResultModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    int appendRow(std::string column0);
    void setCell(int row, int column, std::string text);
    const std::string &cell(int row, int column) const;
    void removeAllRows();

private:
    std::vector<ResultRow> rows_;
};

}  // namespace dnsbatch
