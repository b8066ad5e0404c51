#include "link/ui/debug_form.h"

#include "ui/painting_wait.h"
#include "ui/qt_text.h"
#include "ui/window_placement.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace xkv {

Tdebug::Tdebug(QWidget* parent, session& state)
    : QDialog(parent), session_(state), console_(&state.log, painting_wait) {
    setObjectName("debug");
    setWindowTitle("debug");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint); // CLOSE is the way out

    Edit1_ = new QLineEdit(QString::fromUtf8(debug_console::initial_command.data(),
                                             static_cast<qsizetype>(debug_console::initial_command.size())),
                           this);
    Edit1_->setObjectName("Edit1");
    auto* send = new QPushButton("SEND", this);
    send->setObjectName("Button1");
    send->setDefault(true);
    auto* close = new QPushButton("CLOSE", this);
    close->setObjectName("Button2");
    close->setAutoDefault(false);
    Memo1_ = new QPlainTextEdit(this);
    Memo1_->setObjectName("Memo1");
    Memo1_->setReadOnly(true);
    Memo1_->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont mono("Monospace");
    mono.setStyleHint(QFont::TypeWriter);
    Memo1_->setFont(mono);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Edit1_, 0, 0);
    layout->addWidget(send, 0, 1);
    layout->addWidget(Memo1_, 1, 0, 1, 2);
    layout->addWidget(close, 2, 1);
    setFixedSize(520, 400);

    connect(send, &QPushButton::clicked, this, &Tdebug::Button1Click);
    connect(close, &QPushButton::clicked, this, &Tdebug::Button2Click);
}

void Tdebug::open_console() {
    console_.open(session_.options);
    exec();
    console_.close();
}

void Tdebug::Button1Click() {
    console_.send(std_text(Edit1_->text()));
    show_new_lines();
}

void Tdebug::Button2Click() { accept(); }

void Tdebug::show_new_lines() {
    const auto& lines = console_.lines();
    for (; shown_ < lines.size(); ++shown_) Memo1_->appendPlainText(qt_text(lines[shown_]));
}

void Tdebug::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    place_on_screen(*this);
}

} // namespace xkv
