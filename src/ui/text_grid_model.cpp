#include "ui/text_grid_model.h"

#include "ui/qt_text.h"

namespace xkv {

void text_grid_model::set_grid(grid cells) {
    beginResetModel();
    cells_ = std::move(cells);
    columns_ = static_cast<int>(cells_.row_length(0));
    endResetModel();
}

int text_grid_model::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || cells_.empty()) return 0;
    return static_cast<int>(cells_.row_count() - 1);
}

int text_grid_model::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : columns_; }

QVariant text_grid_model::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    if (!index.isValid() || index.row() + 1 >= static_cast<int>(cells_.row_count())) return {};
    // A short row's missing cells read as empty.
    return qt_text(cells_.cell(static_cast<std::size_t>(index.row()) + 1, static_cast<std::size_t>(index.column())));
}

QVariant text_grid_model::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || cells_.empty() || section < 0) return {};
    if (orientation == Qt::Vertical) return section + 1;
    return static_cast<std::size_t>(section) < cells_.row_length(0)
               ? qt_text(cells_.cell(0, static_cast<std::size_t>(section)))
               : QVariant();
}

} // namespace xkv
