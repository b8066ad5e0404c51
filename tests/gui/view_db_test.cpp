// The database viewer over a real SQLite file: the first listing, the filters, the lists refilled
// as they drop down, a database error, and the spreadsheet export's outcomes.

#include "windows_fixture.h"

#include "results/results_db.h"
#include "results/save_results.h"
#include "results/ui/chart_form.h"
#include "results/ui/drop_down_combo.h"
#include "results/ui/row_details_form.h"
#include "ui/text_grid_model.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLegendMarker>
#include <QScatterSeries>
#include <QSet>

#include <cmath>

using namespace xkv;
using test::windows_fixture;

namespace {

struct viewer_fixture : windows_fixture {
    viewer_fixture() {
        run_table table;
        const struct {
            const char* sample;
            const char* p1;
            const char* hv;
            const char* ts;
        } rows[] = {{"S1", "12.5", "1000", "2024-05-02 00:00:00"},
                    {"S2", "2.4", "1150", "2024-05-02 12:00:00"},
                    {"ab", "2.5", "1000", "2024-05-02 23:59:59"},
                    {"AB2", "40", "1000", "2024-05-03 08:00:00"}};
        for (std::size_t i = 0; i < std::size(rows); ++i) {
            table[i] = test::measured_row(rows[i].sample);
            table[i].p1 = rows[i].p1;
            table[i].hv = rows[i].hv;
        }
        save_results(table, database());
        t_sqlite db(database());
        for (const auto& r : rows) db.query("UPDATE results SET ts=? WHERE sample_id=?", {r.ts, r.sample});
        start_windows();
        find("ViewDataBase")->trigger();
        viewer = window<TViewDB>();
        QTRY_COMPARE(rows_shown(), 4);
    }
    int rows_shown() const { return rows(viewer, "Grid"); }
    QStringList column(int c) const {
        QStringList out;
        for (int r = 0; r < rows_shown(); ++r) out << cell(viewer, "Grid", r, c);
        return out;
    }
    drop_down_combo* combo(const char* name) const { return control<drop_down_combo>(viewer, name); }
    void show() const { click(viewer, "Button2"); }

    TViewDB* viewer = nullptr;
};

// A list's entries in sorted order (the database gives them in an order of its own).
QStringList entries(const QComboBox* c) {
    QStringList out;
    for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
    out.sort();
    return out;
}

} // namespace

class view_db_test : public QObject {
    Q_OBJECT
private slots:
    void opening_lists_every_row_with_the_pickers_at_today();
    void show_narrows_by_each_filter();
    void a_list_dropping_down_offers_stored_values_and_keeps_the_typed_text();
    void a_database_error_keeps_the_listing();
    void export_says_saved_only_when_written();
    void a_header_click_sorts_the_view_the_exports_and_the_report();
    void a_double_click_opens_the_rows_lab_details();
    void chart_window_draws_the_listing_and_saves_a_png();
    void a_chart_of_many_series_draws_every_point_in_a_few_sets();
};

void view_db_test::a_header_click_sorts_the_view_the_exports_and_the_report() {
    viewer_fixture f;
    auto* header = f.control<QTableView>(f.viewer, "Grid")->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(7) + header->sectionSize(7) / 2, header->height() / 2));
    QCOMPARE(f.column(7), (QStringList{"2.4", "2.5", "12.5", "40"})); // "Alpha counter" as numbers
    QCOMPARE(f.column(2), (QStringList{"S2", "ab", "S1", "AB2"}));
    QCOMPARE(std::string(f.viewer->grid().cell(1, 2)), std::string("S1")); // the listing keeps SHOW's order

    // What the operator sees sorted is what the files hold.
    f.services.files = {f.dir.file("sorted.csv"), f.dir.file("sorted.txt")};
    f.click(f.viewer, "Button3");
    f.click(f.viewer, "Button4");
    const std::string csv = test::read_file(f.dir.file("sorted.csv"));
    const auto at = [&csv](const char* sample) { return csv.find("," + std::string(sample) + ","); };
    QVERIFY(at("S2") < at("ab") && at("ab") < at("S1") && at("S1") < at("AB2") && at("AB2") != std::string::npos);
    const std::string report = test::read_file(f.dir.file("sorted.txt"));
    const auto in_report = [&report](const char* sample) { return report.find("Sample " + std::string(sample) + ","); };
    QVERIFY2(in_report("S2") < in_report("ab") && in_report("S1") < in_report("AB2") &&
                 in_report("AB2") != std::string::npos,
             report.c_str());
}

void view_db_test::a_double_click_opens_the_rows_lab_details() {
    viewer_fixture f;
    auto* grid = f.control<QTableView>(f.viewer, "Grid");
    const QModelIndex second = grid->model()->index(1, 2); // S2: 2.4 alpha counts in 100 s
    const QPoint at = grid->visualRect(second).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at); // a view takes a double-click on a pressed row
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    auto* details = f.viewer->findChild<TRowDetails*>();
    QVERIFY2(details && details->isVisible(), f.services.warnings.empty() ? "" : f.services.warnings[0].text.c_str());
    QVERIFY(f.text(details, "Label1").contains("sample S2"));
    // Independently, without crosstalk: y = w (r_g - r_0), w = K / (Q eps) = 0.2 / (2.5 * 0.31),
    // u^2(y) = w^2 (r_g/t_g + r_0/t_0) + y^2 u_rel(w)^2 with u_rel(w) = 0.013.
    const double w = 0.2 / (2.5 * 0.31), rg = 2.4 / 100, r0 = 0.02;
    const double y = w * (rg - r0);
    const double u = std::sqrt(w * w * (rg / 100 + r0 / 600) + y * y * 0.013 * 0.013);
    QCOMPARE(f.cell(details, "Grid1", 0, 0), QString("y (lab result)"));
    QVERIFY(std::abs(f.cell(details, "Grid1", 0, 1).toDouble() - y) < 1e-12);
    QVERIFY(std::abs(f.cell(details, "Grid1", 1, 1).toDouble() - u) < 1e-12);
    QCOMPARE(f.rows(details, "Grid1"), 9); // y, u(y), y*, y#, best estimate, its u, lower, upper, detected
    QVERIFY2(f.text(details, "Label2").contains("without records of its calibrations"),
             qPrintable(f.text(details, "Label2")));
    if (const char* shot = std::getenv("XKV_SHOT")) details->grab().save(shot);
}

void view_db_test::opening_lists_every_row_with_the_pickers_at_today() {
    viewer_fixture f;
    QAbstractItemModelTester tester(const_cast<text_grid_model*>(&f.viewer->model()),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    const auto* model = f.control<QTableView>(f.viewer, "Grid")->model();
    QCOMPARE(model->columnCount(), 32);
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QString("count"));
    QCOMPARE(model->headerData(29, Qt::Horizontal).toString(), QString("background correction"));
    QCOMPARE(f.column(2), (QStringList{"S1", "S2", "ab", "AB2"}));
    QCOMPARE(f.cell(f.viewer, "Grid", 0, 7), QString("12.5"));
    QCOMPARE(f.viewer->grid().row_count(), 5u); // the header row and four rows, as the export takes them
    for (const char* picker : {"fromdate", "todate"})
        QCOMPARE(f.control<QDateEdit>(f.viewer, picker)->date(), QDate::currentDate());
    QVERIFY(!f.control<QCheckBox>(f.viewer, "CheckBox1")->isChecked());
    QCOMPARE(entries(f.combo("samplecombo")).size(), 4); // refreshed after the listing
}

void view_db_test::show_narrows_by_each_filter() {
    viewer_fixture f;
    f.show(); // nothing set: the same rows as the first listing
    QCOMPARE(f.column(2), (QStringList{"S1", "S2", "ab", "AB2"}));

    f.combo("samplecombo")->setEditText("ab"); // exact, not a prefix
    f.show();
    QCOMPARE(f.column(2), QStringList{"ab"});
    f.combo("samplecombo")->setEditText("");

    f.type(f.viewer, "from_value_1", "2,5");
    f.show();
    QCOMPARE(f.text(f.viewer, "from_value_1"), QString("2.5")); // written back as compared
    QCOMPARE(f.column(2), (QStringList{"S1", "ab", "AB2"}));
    f.type(f.viewer, "to_value_1", "-12.5 cps");
    f.show();
    QCOMPARE(f.text(f.viewer, "to_value_1"), QString("12.5"));
    QCOMPARE(f.column(2), (QStringList{"S1", "ab"}));
    f.type(f.viewer, "from_value_1", "");
    f.type(f.viewer, "to_value_1", "");

    f.combo("hvcombo")->setEditText("1150");
    f.show();
    QCOMPARE(f.column(2), QStringList{"S2"});
    f.combo("hvcombo")->setEditText("");

    // One day, both bounds strict: its first and last second are outside.
    f.control<QCheckBox>(f.viewer, "CheckBox1")->setChecked(true);
    f.control<QCheckBox>(f.viewer, "CheckBox2")->setChecked(true);
    f.control<QDateEdit>(f.viewer, "fromdate")->setDate(QDate(2024, 5, 2));
    f.control<QDateEdit>(f.viewer, "todate")->setDate(QDate(2024, 5, 2));
    f.show();
    QCOMPARE(f.column(2), QStringList{"S2"});

    f.combo("modecombo")->setEditText("CAM"); // finds nothing: the headers alone
    f.show();
    QCOMPARE(f.rows_shown(), 0);
    QCOMPARE(f.viewer->grid().row_count(), 1u);
}

void view_db_test::a_list_dropping_down_offers_stored_values_and_keeps_the_typed_text() {
    viewer_fixture f;
    drop_down_combo* sample = f.combo("samplecombo");
    sample->setEditText("ab");
    sample->showPopup();
    sample->hidePopup();
    QCOMPARE(entries(sample), (QStringList{"AB2", "ab"})); // LIKE: a to z in either case
    QCOMPARE(sample->currentText(), QString("ab"));
    drop_down_combo* hv = f.combo("hvcombo");
    hv->showPopup();
    hv->hidePopup();
    QCOMPARE(entries(hv), (QStringList{"1000", "1150"}));
    f.show(); // the sample list follows the sample box after a listing
    QCOMPARE(entries(sample), (QStringList{"AB2", "ab"}));
}

void view_db_test::a_database_error_keeps_the_listing() {
    viewer_fixture f;
    const std::string not_a_database = f.dir.file("notes.mdb");
    test::write_file(not_a_database, std::string(4096, 'x'));
    _program_options options = f.state->options;
    options.database = not_a_database;
    f.state->options = options;
    f.show();
    QCOMPARE(f.services.warnings.size(), 1u);
    QCOMPARE(f.rows_shown(), 4);
}

void view_db_test::export_says_saved_only_when_written() {
    viewer_fixture f;
    f.click(f.viewer, "Button3"); // dialog cancelled
    QCOMPARE(f.services.file_dialogs.size(), 1u);
    // .xls first and the default; .xlsx and .csv beside it.
    QCOMPARE(f.services.file_dialogs[0].filter, std::string("excel file|*.xls|Excel workbook|*.xlsx|CSV file|*.csv"));
    QCOMPARE(f.services.file_dialogs[0].default_extension, std::string("xls"));
    f.services.files.push_back(f.dir.file("missing/folder/listing.xls"));
    f.click(f.viewer, "Button3");
    QCOMPARE(f.services.warnings.size(), 1u);
    QVERIFY(f.services.messages.empty());
    f.services.files.push_back(f.dir.file("listing.xls"));
    f.click(f.viewer, "Button3");
    QCOMPARE(f.services.messages, std::vector<std::string>{"file saved!"});
    QVERIFY(std::filesystem::file_size(f.dir.file("listing.xls")) > 12 + 32 * 12 + 4);
    for (const char* name : {"listing.csv", "listing.xlsx"}) {
        f.services.files.push_back(f.dir.file(name));
        f.click(f.viewer, "Button3");
    }
    QCOMPARE(f.services.messages.size(), 3u);
    const std::string csv = test::read_file(f.dir.file("listing.csv"));
    QVERIFY(csv.starts_with("\xEF\xBB\xBF"
                            "count,date,"));
    QCOMPARE(std::count(csv.begin(), csv.end(), '\n'), 5);
    QCOMPARE(test::read_file(f.dir.file("listing.xlsx")).substr(0, 2), std::string("PK"));
}

void view_db_test::chart_window_draws_the_listing_and_saves_a_png() {
    viewer_fixture f;
    TChartForm chart(f.viewer, f.viewer->grid(), f.services);
    chart.show();
    QCOMPARE(chart.canvas().chart_shown().title, std::string("activity alpha"));
    chart.show_column("p1");
    QCOMPARE(chart.canvas().chart_shown().points.size(), 4u);
    // Four rows saved apart: four series, each in a colour of its own and named in the legend.
    QSet<QRgb> colours;
    for (const std::string& name : chart.canvas().chart_shown().series) {
        const auto all = chart.canvas().chart()->series();
        const auto found = std::find_if(all.begin(), all.end(), [&](const QAbstractSeries* s) {
            return s->name() == QString::fromStdString(name);
        });
        QVERIFY2(found != all.end(), name.c_str());
        colours.insert(static_cast<QScatterSeries*>(*found)->color().rgb());
        QVERIFY(chart.canvas().chart()->legend()->markers(*found).at(0)->isVisible());
    }
    QCOMPARE(colours.size(), 4);
    f.services.files.push_back(f.dir.file("chart.png"));
    f.click(&chart, "Button1");
    QCOMPARE(f.services.messages, std::vector<std::string>{"file saved!"});
    QCOMPARE(test::read_file(f.dir.file("chart.png")).substr(1, 3), std::string("PNG"));

    // The column chosen in the viewer's chart window is the one it opens with next time.
    std::string shown;
    const auto open_chart = [&](const char* choose) {
        // The window opens once the QC records are read (the windows paint meanwhile): look until it is there.
        std::function<void()> when_open = [&] {
            auto* opened = qobject_cast<TChartForm*>(QApplication::activeModalWidget());
            if (!opened) return QTimer::singleShot(10, f.viewer, when_open);
            shown = opened->column();
            if (choose) opened->show_column(choose);
            opened->close();
        };
        QTimer::singleShot(0, f.viewer, when_open);
        f.click(f.viewer, "Button5");
    };
    open_chart("p2");
    QCOMPARE(shown, std::string("activity_l"));
    open_chart(nullptr);
    QCOMPARE(shown, std::string("p2"));
}

void view_db_test::a_chart_of_many_series_draws_every_point_in_a_few_sets() {
    chart_data data;
    data.title = "p1";
    for (std::size_t i = 0; i < 5000; ++i) {
        data.series.push_back("S" + std::to_string(i) + " 2024-05-02 12:00:00");
        data.points.push_back({1714651200 + static_cast<long long>(i), static_cast<double>(i % 7), 0, false, i});
    }
    chart_canvas canvas;
    canvas.show_chart(data);
    int scatter_sets = 0, drawn = 0, named = 0;
    for (const QAbstractSeries* s : canvas.chart()->series())
        if (const auto* points = qobject_cast<const QScatterSeries*>(s); points && s->name() != "beyond 3 sigma") {
            ++scatter_sets;
            drawn += points->count();
            named += !s->name().isEmpty();
        }
    QCOMPARE(drawn, 5000);
    QCOMPARE(named, 12); // the legend's
    QVERIFY(scatter_sets <= 22);
}

XKV_SHELL_TEST_MAIN(view_db_test)
#include "view_db_test.moc"
