#include "app/ui/about_form.h"

#include "app/ui/link_label.h"
#include "app/update_check.h"
#include "ui/window_placement.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace xkv {

namespace {

// The about picture: the instrument's name over a counting trace. A 12 x 12 spot in its lower right
// corner reports a mouse release.
class about_picture : public QWidget {
public:
    about_picture(QWidget* parent, std::function<void()> on_spot) : QWidget(parent), on_spot_(std::move(on_spot)) {
        setObjectName("picture");
        setFixedSize(320, 150);
    }

    static QRect spot(const QSize& size) { return {size.width() - 12, size.height() - 12, 12, 12}; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient sky(0, 0, 0, height());
        sky.setColorAt(0, QColor(18, 52, 86));
        sky.setColorAt(1, QColor(40, 110, 150));
        p.fillRect(rect(), sky);

        QPainterPath trace;
        trace.moveTo(0, height() - 30);
        const int peaks[] = {4, 9, 3, 15, 6, 22, 8, 40, 12, 26, 7, 13, 5, 9, 3, 6};
        const double step = width() / 16.0;
        for (int i = 0; i < 16; ++i) {
            trace.lineTo(i * step + step / 2, height() - 30 - peaks[i] * 2);
            trace.lineTo((i + 1) * step, height() - 30);
        }
        p.setPen(QPen(QColor(120, 230, 160), 2));
        p.drawPath(trace);

        p.setPen(Qt::white);
        QFont title = font();
        title.setPointSize(22);
        title.setBold(true);
        p.setFont(title);
        p.drawText(QRect(0, 12, width(), 40), Qt::AlignCenter, "XKV 4410");
        QFont sub = font();
        sub.setPointSize(10);
        p.setFont(sub);
        p.drawText(QRect(0, 52, width(), 20), Qt::AlignCenter, QString("alpha / beta counter  -  ") + program_version);
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && spot(size()).contains(event->position().toPoint())) on_spot_();
        QWidget::mouseReleaseEvent(event);
    }

private:
    std::function<void()> on_spot_;
};

} // namespace

Tabout::Tabout(QWidget* parent, ui_services& services) : QDialog(parent), services_(services) {
    setObjectName("about");
    setWindowTitle("about");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* picture = new about_picture(this, [this] { spot_released(); });
    auto* web = new link_label(publisher_web_page, this);
    web->setObjectName("web_link");
    connect(web, &link_label::clicked, this, [this] { services_.open_with_desktop(publisher_web_page); });
    auto* mail = new link_label(publisher_mail, this);
    mail->setObjectName("mail_link");
    connect(mail, &link_label::clicked, this,
            [this] { services_.open_with_desktop(std::string("mailto:") + publisher_mail); });
    auto* close = new QPushButton("CLOSE", this);
    close->setObjectName("Button_CLOSE");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture, 0, Qt::AlignHCenter);
    layout->addWidget(web, 0, Qt::AlignHCenter);
    layout->addWidget(mail, 0, Qt::AlignHCenter);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void Tabout::spot_released() {
    if (open_console_) open_console_();
}

} // namespace xkv
