#include "results/ui/viewer_sort_model.h"

#include "results/viewer_sort.h"

namespace xkv {

bool viewer_sort_model::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const QByteArray a = sourceModel()->data(left).toString().toUtf8();
    const QByteArray b = sourceModel()->data(right).toString().toUtf8();
    return viewer_cell_less({a.constData(), static_cast<std::size_t>(a.size())},
                            {b.constData(), static_cast<std::size_t>(b.size())});
}

} // namespace xkv
