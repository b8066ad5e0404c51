#pragma once
// The one place where the windows turn the program's byte strings into QString and back. Bytes
// that are valid UTF-8 are UTF-8, any other text is Windows-1252 (files and databases written on
// the original platform). A field or list entry keeps the bytes it was filled with, so a value the
// operator did not edit goes back byte-identical; what the operator edits goes back as UTF-8.

#include <QString>

#include <string>
#include <string_view>

class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace xkv {

QString qt_text(std::string_view bytes);

// Text the operator typed, as the program stores it.
std::string std_text(const QString& text);

// Fills a field, remembering its bytes.
void show_field(QLineEdit* field, std::string_view bytes);
// The remembered bytes while the field shows them unchanged, otherwise what the operator typed.
std::string field_bytes(const QLineEdit* field);
// The field keeps only its first line: a pasted line break (or NUL) would split the file it is saved in.
void take_single_line(QLineEdit* field);

// A list entry that keeps its stored bytes.
void add_entry(QComboBox* list, std::string_view bytes);
// The list's text: the stored bytes of the entry it shows, otherwise what the operator typed.
std::string entry_bytes(const QComboBox* list);
std::string entry_bytes(const QComboBox* list, int index);

// Shows file, database, instrument or network text as it is, never as HTML.
void show_plain(QLabel* label, std::string_view bytes);
void show_plain_tip(QWidget* widget, std::string_view bytes);

} // namespace xkv
