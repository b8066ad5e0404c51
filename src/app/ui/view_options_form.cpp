#include "app/ui/view_options_form.h"

#include "app/ui/window_placement.h"
#include "settings/value_text.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace xkv {

TViewOptionsForm::TViewOptionsForm(QWidget* parent) : QDialog(parent) {
    setObjectName("ViewOptionsForm");
    setWindowTitle("View Options");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    const struct {
        const char* caption;
        const char* name;
        QLabel** value;
    } rows[] = {
        {"C:=", "value_C", &value_C_},
        {"D:=", "value_D", &value_D_},
        {"E:=", "value_E", &value_E_},
        {"Alert 1 :=", "value_alert1", nullptr},
        {"Alert 2 :=", "value_alert2", nullptr},
        {"FailRate 1 :=", "value_failrate1", &value_failrate1_},
        {"FileRate 2 :=", "value_failrate2", &value_failrate2_},
        {"High Voltage :=", "value_hv", &value_hv_},
        {"mode :=", "value_mode", &value_mode_},
    };
    int r = 0;
    for (const auto& row : rows) {
        grid->addWidget(new QLabel(row.caption), r, 0, Qt::AlignRight);
        auto* value = new QLabel("------------------");
        value->setObjectName(row.name);
        value->setMinimumWidth(160);
        grid->addWidget(value, r, 1);
        if (row.value) *row.value = value;
        ++r;
    }

    auto* close = new QPushButton("CLOSE");
    close->setObjectName("Button_CLOSE");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TViewOptionsForm::set_values(const _options& profile) {
    value_C_->setText(QString::fromStdString(profile.C));
    value_D_->setText(QString::fromStdString(profile.D));
    value_E_->setText(QString::fromStdString(profile.E));
    value_failrate1_->setText(QString::fromStdString(profile.failrate1));
    value_failrate2_->setText(QString::fromStdString(profile.failrate2));
    value_hv_->setText(QString::fromStdString(profile.hv1)); // the view shows the first supply only
    std::string mode = value_mode_->text().toStdString();
    mode_name(profile.mode, mode);
    value_mode_->setText(QString::fromStdString(mode));
}

void TViewOptionsForm::show_options(const _options& profile) {
    set_values(profile);
    exec();
}

void TViewOptionsForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    centre_on_screen(*this);
}

} // namespace xkv
