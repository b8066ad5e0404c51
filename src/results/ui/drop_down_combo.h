#pragma once
// An editable list box that tells, just before its list drops down, that the list is about to be
// shown, so the viewer can refill it from the database with what is typed.

#include <QComboBox>

namespace xkv {

class drop_down_combo : public QComboBox {
    Q_OBJECT
public:
    explicit drop_down_combo(QWidget* parent = nullptr);

    // The entries, with the typed text kept as it stands.
    void set_entries(const std::vector<std::string>& entries);

    void showPopup() override;

signals:
    void dropDown();
};

} // namespace xkv
