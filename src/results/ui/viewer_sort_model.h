#pragma once
// The viewer grid's sorting by a header click: a proxy over the listing, so only the view is
// sorted and the listing keeps the order SHOW gave it. Column -1 is the listing's order.

#include <QSortFilterProxyModel>

namespace xkv {

class viewer_sort_model : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};

} // namespace xkv
