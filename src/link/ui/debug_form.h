#pragma once
// The debug console window "debug": sends any typed text to the instrument and lists the replies.
// Holds its own connection while open; the list is kept for the whole run.

#include "app/session.h"
#include "link/debug_console.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;

namespace xkv {

class Tdebug : public QDialog {
    Q_OBJECT
public:
    // The session's log receives the link's port outcome texts.
    Tdebug(QWidget* parent, session& state);

    // Connects on the session's port and speed, shows the window modally, and releases the port when
    // it closes.
    void open_console();

public slots:
    void Button1Click(); // SEND
    void Button2Click(); // CLOSE

protected:
    void showEvent(QShowEvent* event) override;

private:
    void show_new_lines();

    const session& session_;
    debug_console console_;
    std::size_t shown_ = 0; // console lines already in Memo1
    QLineEdit* Edit1_;
    QPlainTextEdit* Memo1_;
};

} // namespace xkv
