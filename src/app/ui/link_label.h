#pragma once
// A label that looks like a link and reports a click.

#include <QLabel>

namespace xkv {

class link_label : public QLabel {
    Q_OBJECT
public:
    explicit link_label(const QString& text, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace xkv
