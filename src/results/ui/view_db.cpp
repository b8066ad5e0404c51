#include "results/ui/view_db.h"

#include "app/ui/main_form.h"
#include "app/ui/window_placement.h"
#include "results/report_output.h"
#include "results/report_sources_of.h"
#include "results/ui/drop_down_combo.h"
#include "results/ui/text_grid_model.h"
#include "results/xls_file.h"
#include "settings/program_dir.h"

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

calendar_date date_of(const QDate& d) { return {d.year(), d.month(), d.day()}; }

} // namespace

TViewDB::TViewDB(TMainForm& main, ui_services& services, std::function<cur_measurment()> current_setup)
    : QDialog(&main), main_(main), services_(services), current_setup_(std::move(current_setup)) {
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
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, handler);
        buttons->addWidget(b);
    };
    button("SHOW", "Button2", &TViewDB::Button2Click);
    button("Save As EXCEL File", "Button3", &TViewDB::Button3Click);
    button("Report", "Button4", &TViewDB::Button4Click);
    button("CLOSE", "Button1", &TViewDB::Button1Click);
    buttons->addStretch();

    model_ = new text_grid_model(this);
    Grid_ = new QTableView(this);
    Grid_->setObjectName("Grid");
    Grid_->setModel(model_);
    Grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid_->verticalHeader()->setVisible(false);
    // Fixed row heights and column widths: a listing of any length is laid out at once.
    Grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grid_->verticalHeader()->setDefaultSectionSize(Grid_->fontMetrics().height() + 6);
    Grid_->horizontalHeader()->setDefaultSectionSize(110);
    Grid_->horizontalHeader()->setResizeContentsPrecision(50);  // widths from the first rows only

    auto* head = new QHBoxLayout;
    head->addLayout(filters, 1);
    head->addLayout(buttons);
    auto* top = new QVBoxLayout(this);
    top->addLayout(head);
    top->addWidget(Grid_, 1);
    resize(1100, 640);
}

const viewer_grid& TViewDB::grid() const { return model_->cells(); }

void TViewDB::open_window() {
    show();
    centre_on_screen(*this);
    QTimer::singleShot(0, this, &TViewDB::FormShow);
}

std::string TViewDB::database() const {
    return resolve_program_path(main_.program_dir(), main_.program_options().database);
}

void TViewDB::FormShow() { list(base_select()); }

void TViewDB::Button2Click() {
    viewer_filter f = filter();
    clean_bounds(f);
    // The operator sees what the bounds compare with.
    from_value_1_->setText(QString::fromStdString(f.from_value_1));
    from_value_2_->setText(QString::fromStdString(f.from_value_2));
    to_value_1_->setText(QString::fromStdString(f.to_value_1));
    to_value_2_->setText(QString::fromStdString(f.to_value_2));
    list(filtered_select(f));
}

void TViewDB::list(const bound_statement& select) {
    model_->set_grid(list_results(database(), select));  // a failure keeps what was shown
    Grid_->resizeColumnsToContents();
    refill(samplecombo_, filter_list::sample);
}

void TViewDB::Button3Click() {
    const auto file = services_.choose_save_file("excel file|*.xls", "xls");
    if (!file) return;
    if (save_grid_as_xls(grid(), *file)) services_.show_message("file saved!");
}

void TViewDB::Button4Click() {
    const report_sources sources =
        report_sources_of(main_.program_dir(), main_.program_options(), main_.profile(), current_setup_());
    report_from_viewer(grid(), sources, services_);
}

void TViewDB::Button1Click() { close(); }

void TViewDB::samplecomboDropDown() { refill(samplecombo_, filter_list::sample); }
void TViewDB::modecomboDropDown() { refill(modecombo_, filter_list::mode); }
void TViewDB::calcomboDropDown() { refill(calcombo_, filter_list::cal_name); }
void TViewDB::hvcomboDropDown() { refill(hvcombo_, filter_list::hv); }

void TViewDB::refill(drop_down_combo* combo, filter_list list) {
    combo->set_entries(refill_list(database(), list, combo->currentText().toStdString()));
}

viewer_filter TViewDB::filter() const {
    viewer_filter f;
    if (CheckBox1_->isChecked()) f.from_date = date_of(fromdate_->date());
    if (CheckBox2_->isChecked()) f.to_date = date_of(todate_->date());
    f.sample_id = samplecombo_->currentText().toStdString();
    f.cal_name = calcombo_->currentText().toStdString();
    f.mode = modecombo_->currentText().toStdString();
    f.hv = hvcombo_->currentText().toStdString();
    f.from_value_1 = from_value_1_->text().toStdString();
    f.to_value_1 = to_value_1_->text().toStdString();
    f.from_value_2 = from_value_2_->text().toStdString();
    f.to_value_2 = to_value_2_->text().toStdString();
    return f;
}

} // namespace xkv
