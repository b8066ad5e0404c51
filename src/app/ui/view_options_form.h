#pragma once
// The settings view: a few values of the current profile, read-only.

#include "app/session.h"
#include "settings/options.h"

#include <QDialog>

#include <memory>

namespace xkv {

class profile_labels;

class TViewOptionsForm : public QDialog {
    Q_OBJECT
public:
    TViewOptionsForm(QWidget* parent, const session& state);
    ~TViewOptionsForm() override;

    // Sets the value labels from the session's profile, then shows the view modally.
    void show_options();
    // The value labels alone (show_options without the modal loop).
    void set_values(const _options& profile);

protected:
    void showEvent(QShowEvent* event) override;

private:
    const session& session_;
    std::unique_ptr<profile_labels> labels_; // "High Voltage :=" shows hv1 only
};

} // namespace xkv
