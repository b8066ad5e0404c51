#include "ui/qt_text.h"

#include "settings/cp1252.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace xkv {

namespace {

constexpr const char* bytes_property = "xkv_bytes";

QString from_utf8(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }
QByteArray byte_array(std::string_view bytes) { return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())); }
std::string std_string(const QByteArray& bytes) {
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace

QString qt_text(std::string_view bytes) { return from_utf8(cp1252_to_utf8(bytes)); }

std::string std_text(const QString& text) { return std_string(text.toUtf8()); }

void show_field(QLineEdit* field, std::string_view bytes) {
    field->setProperty(bytes_property, byte_array(bytes));
    field->setText(qt_text(bytes));
}

std::string field_bytes(const QLineEdit* field) {
    const QVariant stored = field->property(bytes_property);
    if (stored.isValid()) {
        const std::string bytes = std_string(stored.toByteArray());
        if (qt_text(bytes) == field->text()) return bytes;
    }
    return std_text(field->text());
}

void take_single_line(QLineEdit* field) {
    QObject::connect(field, &QLineEdit::textChanged, field, [field](const QString& text) {
        for (qsizetype i = 0; i < text.size(); ++i)
            if (text[i] == u'\r' || text[i] == u'\n' || text[i] == u'\0') return field->setText(text.left(i));
    });
}

void add_entry(QComboBox* list, std::string_view bytes) { list->addItem(qt_text(bytes), byte_array(bytes)); }

std::string entry_bytes(const QComboBox* list, int index) {
    const QVariant stored = list->itemData(index);
    return stored.isValid() ? std_string(stored.toByteArray()) : std_text(list->itemText(index));
}

std::string entry_bytes(const QComboBox* list) {
    const int index = list->findText(list->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    return index >= 0 ? entry_bytes(list, index) : std_text(list->currentText());
}

void show_plain(QLabel* label, std::string_view bytes) {
    label->setTextFormat(Qt::PlainText);
    label->setText(qt_text(bytes));
}

// A tool tip has no plain-text switch: the text goes escaped inside a rich-text frame.
void show_plain_tip(QWidget* widget, std::string_view bytes) {
    widget->setToolTip("<qt>" + qt_text(bytes).toHtmlEscaped() + "</qt>");
}

} // namespace xkv
