#include "results/ui/row_details_form.h"

#include "ui/qt_text.h"
#include "ui/text_grid_model.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace xkv {

TRowDetails::TRowDetails(QWidget* parent, const std::string& title, const row_details& details) : QDialog(parent) {
    setObjectName("TRowDetails");
    setWindowTitle("Row details");
    auto* head = new QLabel(this);
    head->setObjectName("Label1");
    head->setTextFormat(Qt::PlainText);
    show_plain(head, title);

    std::vector<std::vector<std::string>> rows;
    rows.emplace_back(1, "");
    rows[0].insert(rows[0].end(), details.columns.begin(), details.columns.end());
    for (std::size_t r = 0; r < details.names.size(); ++r) {
        rows.push_back({details.names[r]});
        if (r < details.values.size())
            rows.back().insert(rows.back().end(), details.values[r].begin(), details.values[r].end());
    }
    auto* model = new text_grid_model(this);
    model->set_grid(rows);
    auto* grid = new QTableView(this);
    grid->setObjectName("Grid1");
    grid->setModel(model);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->setVisible(false);
    // Compact rows, and room for all of them: the table is short and is read at a glance.
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->setMinimumHeight(static_cast<int>(rows.size() + 1) * (grid->fontMetrics().height() + 6) + 8);
    grid->resizeColumnsToContents();
    grid->horizontalHeader()->setStretchLastSection(true);

    std::string lines;
    for (const std::string& line : details.notes) lines += (lines.empty() ? "" : "\n") + line;
    auto* notes = new QLabel(this);
    notes->setObjectName("Label2");
    notes->setTextFormat(Qt::PlainText);
    notes->setWordWrap(true);
    notes->setTextInteractionFlags(Qt::TextSelectableByMouse);
    show_plain(notes, lines);

    auto* close = new QPushButton("CLOSE", this);
    close->setObjectName("Button1");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* all = new QVBoxLayout(this);
    all->addWidget(head);
    all->addWidget(grid, 1);
    all->addWidget(notes);
    all->addWidget(close, 0, Qt::AlignRight);
    resize(660, 480);
}

} // namespace xkv
