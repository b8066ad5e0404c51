#include "app/ui/view_options_form.h"

#include "app/ui/profile_labels.h"
#include "ui/window_placement.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace xkv {

TViewOptionsForm::~TViewOptionsForm() = default;

TViewOptionsForm::TViewOptionsForm(QWidget* parent, const session& state) : QDialog(parent), session_(state) {
    setObjectName("ViewOptionsForm");
    setWindowTitle("View Options");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    labels_ = std::make_unique<profile_labels>(*grid, this, false);

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

void TViewOptionsForm::set_values(const _options& profile) { labels_->show(profile); }

void TViewOptionsForm::show_options() {
    set_values(session_.profile);
    exec();
}

void TViewOptionsForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    place_on_screen(*this);
}

} // namespace xkv
