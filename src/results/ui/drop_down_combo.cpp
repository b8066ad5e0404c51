#include "results/ui/drop_down_combo.h"

#include "ui/qt_text.h"

#include <QSignalBlocker>

namespace xkv {

drop_down_combo::drop_down_combo(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert); // the list holds stored values only
    // The typed text stays as typed: no completion, and Enter does not swap it for an entry that
    // differs only in case.
    setCompleter(nullptr);
    setDuplicatesEnabled(true);
    setMinimumContentsLength(14);
}

void drop_down_combo::set_entries(const std::vector<std::string>& entries) {
    const QString typed = currentText();
    const QSignalBlocker quiet(this);
    clear();
    for (const auto& e : entries) add_entry(this, e);
    setCurrentIndex(-1);
    setEditText(typed);
}

void drop_down_combo::showPopup() {
    emit dropDown(); // a refill that fails shows its error and the list stays closed
    QComboBox::showPopup();
}

} // namespace xkv
