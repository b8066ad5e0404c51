#include "app/ui/profile_labels.h"

#include "settings/value_text.h"
#include "ui/qt_text.h"

#include <QGridLayout>
#include <QLabel>

#include <vector>

namespace xkv {

profile_labels::profile_labels(QGridLayout& grid, QWidget* parent, bool both_voltages) {
    struct row {
        const char* caption;
        const char* name;
        QLabel** value;
    };
    std::vector<row> rows = {
        {"C:=", "value_C", &C_},
        {"D:=", "value_D", &D_},
        {"E:=", "value_E", &E_},
        {"Alert 1 :=", "value_alert1", nullptr},
        {"Alert 2 :=", "value_alert2", nullptr},
        {"FailRate 1 :=", "value_failrate1", &failrate1_},
        {"FileRate 2 :=", "value_failrate2", &failrate2_},
    };
    if (both_voltages) {
        rows.push_back({"High Voltage1 :=", "value_hv1", &hv1_});
        rows.push_back({"High Voltage2 :=", "value_hv2", &hv2_});
    } else {
        rows.push_back({"High Voltage :=", "value_hv", &hv1_});
    }
    rows.push_back({"mode :=", "value_mode", &mode_});

    int r = 0;
    for (const auto& item : rows) {
        grid.addWidget(new QLabel(item.caption, parent), r, 0, Qt::AlignRight);
        auto* value = new QLabel("------------------", parent);
        value->setObjectName(item.name);
        value->setMinimumWidth(160);
        grid.addWidget(value, r, 1);
        if (item.value) *item.value = value;
        ++r;
    }
}

void profile_labels::show(const _options& profile) {
    show_plain(C_, profile.C);
    show_plain(D_, profile.D);
    show_plain(E_, profile.E);
    show_plain(failrate1_, profile.failrate1);
    show_plain(failrate2_, profile.failrate2);
    show_plain(hv1_, profile.hv1);
    if (hv2_) show_plain(hv2_, profile.hv2);
    std::string mode = std_text(mode_->text());
    mode_name(profile.mode, mode);
    show_plain(mode_, mode);
}

} // namespace xkv
