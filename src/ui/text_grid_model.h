#pragma once
// A text grid as a table model: row 0 of the grid gives the column headers, rows 1..n the rows.
// The run window's Output and the viewer's Grid show their grids through it; the grid is kept as
// it came, so the spreadsheet export and the report take exactly what is shown.

#include "results/text_table.h"

#include <QAbstractTableModel>

#include <string>
#include <vector>

namespace xkv {

class text_grid_model : public QAbstractTableModel {
    Q_OBJECT
public:
    using grid = text_table;

    explicit text_grid_model(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // Replaces the whole grid (rows of an earlier, longer grid disappear).
    void set_grid(grid cells);
    // The run window's grid, as its rows of strings.
    void set_grid(const std::vector<std::vector<std::string>>& rows) { set_grid(grid(rows)); }
    const grid& cells() const { return cells_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    grid cells_;
    int columns_ = 0;
};

} // namespace xkv
