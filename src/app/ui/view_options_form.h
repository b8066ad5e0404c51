#pragma once
// The settings view: a few values of the current profile, read-only.

#include "settings/options.h"

#include <QDialog>

#include <memory>

namespace xkv {

class profile_labels;

class TViewOptionsForm : public QDialog {
    Q_OBJECT
public:
    explicit TViewOptionsForm(QWidget* parent = nullptr);
    ~TViewOptionsForm() override;

    // Sets the value labels from `profile`, then shows the view modally.
    void show_options(const _options& profile);
    // The value labels alone (show_options without the modal loop).
    void set_values(const _options& profile);

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<profile_labels> labels_; // "High Voltage :=" shows hv1 only
};

} // namespace xkv
