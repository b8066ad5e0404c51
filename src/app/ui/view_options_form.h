#pragma once
// The settings view: a few values of the current profile, read-only.

#include "settings/options.h"

#include <QDialog>

class QLabel;

namespace xkv {

class TViewOptionsForm : public QDialog {
    Q_OBJECT
public:
    explicit TViewOptionsForm(QWidget* parent = nullptr);

    // Sets the value labels from `profile`, then shows the view modally.
    void show_options(const _options& profile);
    // The value labels alone (show_options without the modal loop).
    void set_values(const _options& profile);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* value_C_;
    QLabel* value_D_;
    QLabel* value_E_;
    QLabel* value_failrate1_;
    QLabel* value_failrate2_;
    QLabel* value_hv_;
    QLabel* value_mode_;
};

} // namespace xkv
