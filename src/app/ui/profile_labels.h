#pragma once
// The caption and value rows that show a profile: "C:=" ... "mode :=", each value starting as
// "------------------". The "Alert" rows are shown but never assigned.

#include "settings/options.h"

class QGridLayout;
class QLabel;
class QWidget;

namespace xkv {

class profile_labels {
public:
    // The main window shows both high voltages ("High Voltage1 :=", "High Voltage2 :="), the
    // settings view only the first ("High Voltage :=").
    profile_labels(QGridLayout& grid, QWidget* parent, bool both_voltages);

    // C, D, E, the fail rates, the high voltages and the mode name; an unknown mode code leaves the
    // mode row as it was.
    void show(const _options& profile);

private:
    QLabel* C_ = nullptr;
    QLabel* D_ = nullptr;
    QLabel* E_ = nullptr;
    QLabel* failrate1_ = nullptr;
    QLabel* failrate2_ = nullptr;
    QLabel* hv1_ = nullptr;
    QLabel* hv2_ = nullptr; // absent in the view
    QLabel* mode_ = nullptr;
};

} // namespace xkv
