#include "results/ui/view_db.h"

#include "app/session.h"
#include "results/listing_export.h"
#include "results/report_output.h"
#include "results/ui/chart_form.h"
#include "results/ui/drop_down_combo.h"
#include "results/ui/row_details_form.h"
#include "results/ui/viewer_sort_model.h"
#include "results/viewer_sort.h"
#include "results/xls_file.h"
#include "settings/program_dir.h"
#include "ui/named_button.h"
#include "ui/painting_wait.h"
#include "ui/qt_text.h"
#include "ui/remembered_layout.h"
#include "ui/text_grid_model.h"
#include "ui/window_placement.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace xkv {

namespace {

constexpr const char* chart_column_key = "chart/column";

calendar_date date_of(const QDate& d) { return {d.year(), d.month(), d.day()}; }

} // namespace

TViewDB::TViewDB(QWidget* parent, session& state, ui_services& services)
    : QDialog(parent), session_(state), services_(services) {
    setObjectName("ViewDB");
    setWindowTitle("VIEW DB");
    setModal(true);
    build();
}

void TViewDB::build() {
    auto* filters = new QGridLayout;
    const auto combo = [this, filters](const char* caption, const char* name, int row, int column,
                                       void (TViewDB::*handler)()) {
        auto* c = new drop_down_combo(this);
        c->setObjectName(name);
        connect(c, &drop_down_combo::dropDown, this, handler);
        filters->addWidget(new QLabel(caption, this), row, column);
        filters->addWidget(c, row, column + 1);
        return c;
    };
    samplecombo_ = combo("SampleID : ", "samplecombo", 0, 0, &TViewDB::samplecomboDropDown);
    modecombo_ = combo("Mode : ", "modecombo", 1, 0, &TViewDB::modecomboDropDown);
    calcombo_ = combo("meas. Params Name : ", "calcombo", 2, 0, &TViewDB::calcomboDropDown);
    hvcombo_ = combo("High Voltage : ", "hvcombo", 3, 0, &TViewDB::hvcomboDropDown);

    const auto date = [this, filters](const char* caption, const char* check, const char* name, int row,
                                      QCheckBox*& box, QDateEdit*& picker) {
        box = new QCheckBox(caption, this);
        box->setObjectName(check);
        picker = new QDateEdit(QDate::currentDate(), this);
        picker->setObjectName(name);
        picker->setCalendarPopup(true);
        picker->setDisplayFormat("yyyy-MM-dd");
        filters->addWidget(box, row, 2);
        filters->addWidget(picker, row, 3);
    };
    date("FROM DATE", "CheckBox1", "fromdate", 0, CheckBox1_, fromdate_);
    date("TO DATE", "CheckBox2", "todate", 1, CheckBox2_, todate_);

    const auto bounds = [this, filters](const char* caption, const char* from, const char* to, int row,
                                        QLineEdit*& from_box, QLineEdit*& to_box) {
        from_box = new QLineEdit(this);
        from_box->setObjectName(from);
        to_box = new QLineEdit(this);
        to_box->setObjectName(to);
        auto* line = new QHBoxLayout;
        line->addWidget(new QLabel(caption, this));
        line->addWidget(from_box);
        line->addWidget(new QLabel("to", this));
        line->addWidget(to_box);
        filters->addLayout(line, row, 2, 1, 2);
    };
    bounds("result 1 from ", "from_value_1", "to_value_1", 2, from_value_1_, to_value_1_);
    bounds("result 2 from ", "from_value_2", "to_value_2", 3, from_value_2_, to_value_2_);

    auto* buttons = new QVBoxLayout;
    const auto button = [this, buttons](const char* caption, const char* name, void (TViewDB::*handler)()) {
        QPushButton* b = named_button(this, name, caption);
        connect(b, &QPushButton::clicked, this, handler);
        buttons->addWidget(b);
    };
    button("SHOW", "Button2", &TViewDB::Button2Click);
    button("Save As EXCEL File", "Button3", &TViewDB::Button3Click);
    button("Report", "Button4", &TViewDB::Button4Click);
    button("Chart", "Button5", &TViewDB::Button5Click);
    button("CLOSE", "Button1", &TViewDB::Button1Click);
    buttons->addStretch();

    model_ = new text_grid_model(this);
    sorted_ = new viewer_sort_model(this);
    sorted_->setSourceModel(model_);
    Grid_ = new QTableView(this);
    Grid_->setObjectName("Grid");
    Grid_->setModel(sorted_);
    Grid_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder); // the listing's order at first
    Grid_->setSortingEnabled(true);
    Grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid_->verticalHeader()->setVisible(false);
    // Fixed row heights and column widths: a listing of any length is laid out at once.
    Grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grid_->verticalHeader()->setDefaultSectionSize(Grid_->fontMetrics().height() + 6);
    Grid_->horizontalHeader()->setDefaultSectionSize(110);
    Grid_->horizontalHeader()->setResizeContentsPrecision(50); // widths from the first rows only
    connect(Grid_, &QTableView::doubleClicked, this, &TViewDB::GridDblClick);

    auto* head = new QHBoxLayout;
    head->addLayout(filters, 1);
    head->addLayout(buttons);
    auto* top = new QVBoxLayout(this);
    top->addLayout(head);
    top->addWidget(Grid_, 1);
    resize(1100, 640);
}

const viewer_grid& TViewDB::grid() const { return model_->cells(); }

const viewer_grid& TViewDB::shown_grid(viewer_grid& sorted) const {
    if (sorted_->sortColumn() < 0) return grid();
    std::vector<std::size_t> order(static_cast<std::size_t>(sorted_->rowCount()));
    for (std::size_t r = 0; r < order.size(); ++r)
        order[r] = static_cast<std::size_t>(sorted_->mapToSource(sorted_->index(static_cast<int>(r), 0)).row());
    sorted = rows_in_order(grid(), order);
    return sorted;
}

void TViewDB::open_window() {
    restore_window(*this, false); // the viewer opens centred, in the size it had
    show();
    place_on_screen(*this);
    QTimer::singleShot(0, this, &TViewDB::FormShow);
}

std::string TViewDB::database() const { return session_.database_path(); }

void TViewDB::FormShow() { list(base_select()); }

void TViewDB::Button2Click() {
    viewer_filter f = filter();
    clean_bounds(f);
    // The operator sees what the bounds compare with.
    show_field(from_value_1_, f.from_value_1);
    show_field(from_value_2_, f.from_value_2);
    show_field(to_value_1_, f.to_value_1);
    show_field(to_value_2_, f.to_value_2);
    list(filtered_select(f));
}

void TViewDB::list(const bound_statement& select) {
    // A server may take its (bounded) time to answer: the windows paint meanwhile.
    const std::string location = database();
    viewer_grid rows;
    painting_call([&] { rows = list_results(location, select); });
    model_->set_grid(std::move(rows)); // a failure keeps what was shown
    // The operator's column widths and sort from last time, once there are columns to take them.
    if (!header_restored_) header_restored_ = restore_header(*Grid_->horizontalHeader(), "viewer");
    if (!header_restored_) Grid_->resizeColumnsToContents();
    refill(samplecombo_, filter_list::sample);
}

void TViewDB::Button3Click() {
    const auto file = services_.choose_save_file(export_dialog_filter, "xls");
    if (!file) return;
    viewer_grid sorted;
    const viewer_grid& shown = shown_grid(sorted);
    const auto lab_extras = [this] { // the lab's values come from the store: read while the windows paint
        std::shared_ptr<row_extras> extras;
        painting_call([&] { extras = session_.listing_extras(); });
        return extras;
    };
    switch (export_format_of(*file)) {
    case export_format::xls:
        if (save_grid_as_xls(shown, *file)) services_.show_message("file saved!");
        return;
    case export_format::xlsx:
        export_grid(shown, *xlsx_file_writer(*file), session_.read_only.limits_k, lab_extras().get());
        break;
    case export_format::csv:
        export_grid(shown, *csv_file_writer(*file), session_.read_only.limits_k, lab_extras().get());
        break;
    }
    services_.show_message("file saved!");
}

void TViewDB::Button5Click() {
    decltype(session_.qc_charts()) qc;
    painting_call([&] { qc = session_.qc_charts(); }); // QC records from the store
    TChartForm chart(this, grid(), services_, qc);
    chart.show_column(remembered_choice(chart_column_key).toStdString()); // the column chosen last time
    chart.exec();
    remember_choice(chart_column_key, QString::fromStdString(chart.column()));
}

void TViewDB::Button4Click() {
    report_sources sources;
    painting_call([&] { sources = session_.report_sources_for(session_.last_setup); }); // reads the store
    viewer_grid sorted;
    report_from_viewer(shown_grid(sorted), sources, services_);
}

void TViewDB::Button1Click() { close(); }

void TViewDB::GridDblClick(const QModelIndex& index) {
    if (!index.isValid()) return;
    const auto row = static_cast<std::size_t>(sorted_->mapToSource(index).row()) + 1; // row 0: the headers
    std::vector<std::string_view> cells;
    grid().row_views(row, cells);
    row_details details;
    try {
        painting_call([&] { details = session_.listing_extras()->details(cells); }); // reads the store
    } catch (const std::exception& e) { // the store's records cannot be read
        services_.show_error(e.what());
        return;
    }
    const auto at = [&cells](const char* column) {
        const std::size_t i = viewer_column(column);
        return std::string(i < cells.size() ? cells[i] : std::string_view{});
    };
    auto* view = new TRowDetails(
        this, "row " + at("id") + ", sample " + at("sample_id") + ", set " + at("cal_name") + ", " + at("ts"), details);
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->setModal(true);
    view->show();
}

void TViewDB::hideEvent(QHideEvent* event) {
    remember_window(*this);
    if (model_->columnCount() > 0) remember_header(*Grid_->horizontalHeader(), "viewer");
    QDialog::hideEvent(event);
}

void TViewDB::samplecomboDropDown() { refill(samplecombo_, filter_list::sample); }
void TViewDB::modecomboDropDown() { refill(modecombo_, filter_list::mode); }
void TViewDB::calcomboDropDown() { refill(calcombo_, filter_list::cal_name); }
void TViewDB::hvcomboDropDown() { refill(hvcombo_, filter_list::hv); }

void TViewDB::refill(drop_down_combo* combo, filter_list list) {
    const std::string location = database(), typed = entry_bytes(combo);
    std::vector<std::string> entries;
    painting_call([&] { entries = refill_list(location, list, typed); });
    combo->set_entries(entries);
}

viewer_filter TViewDB::filter() const {
    viewer_filter f;
    if (CheckBox1_->isChecked()) f.from_date = date_of(fromdate_->date());
    if (CheckBox2_->isChecked()) f.to_date = date_of(todate_->date());
    f.sample_id = entry_bytes(samplecombo_);
    f.cal_name = entry_bytes(calcombo_);
    f.mode = entry_bytes(modecombo_);
    f.hv = entry_bytes(hvcombo_);
    f.from_value_1 = field_bytes(from_value_1_);
    f.to_value_1 = field_bytes(to_value_1_);
    f.from_value_2 = field_bytes(from_value_2_);
    f.to_value_2 = field_bytes(to_value_2_);
    return f;
}

} // namespace xkv
