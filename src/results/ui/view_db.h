#pragma once
// The database viewer "VIEW DB": filter boxes, two date pickers with their check boxes, SHOW, the
// 32-column Grid, "Save As EXCEL File", "Report" and "CLOSE"; a double-click on a row opens its details. A thin view
// over viewer_query: every listing and list refill is one statement on a fresh connection to the current database.

#include "results/viewer_query.h"
#include "settings/ui_services.h"

#include <QDialog>

class QCheckBox;
class QDateEdit;
class QLineEdit;
class QModelIndex;
class QTableView;

namespace xkv {

struct session;
class drop_down_combo;
class text_grid_model;
class viewer_sort_model;

class TViewDB : public QDialog {
    Q_OBJECT
public:
    // The session's last run setup heads a report.
    TViewDB(QWidget* parent, session& state, ui_services& services);

    // Shows the window modally; the whole table is listed once it is on the screen.
    void open_window();

    // The listing as SHOW made it: row 0 the headers.
    const viewer_grid& grid() const;
    // The listing in the order the grid shows it (sorted by a header click, else as listed): what
    // the exports and the report hold. `sorted` keeps the copy a sorted view needs.
    const viewer_grid& shown_grid(viewer_grid& sorted) const;
    const text_grid_model& model() const { return *model_; }

public slots:
    void FormShow();
    void Button2Click(); // SHOW
    void Button3Click(); // Save As EXCEL File
    void Button4Click(); // Report
    void Button5Click(); // Chart
    void Button1Click(); // CLOSE
    void samplecomboDropDown();
    void modecomboDropDown();
    void calcomboDropDown();
    void hvcomboDropDown();
    void GridDblClick(const QModelIndex& index); // the row's details

protected:
    void hideEvent(QHideEvent* event) override; // the size, column widths and sort are kept

private:
    void build();
    std::string database() const;
    void list(const bound_statement& select);
    void refill(drop_down_combo* combo, filter_list list);
    viewer_filter filter() const;

    session& session_;
    ui_services& services_;

    drop_down_combo *samplecombo_ = nullptr, *modecombo_ = nullptr, *calcombo_ = nullptr, *hvcombo_ = nullptr;
    QCheckBox *CheckBox1_ = nullptr, *CheckBox2_ = nullptr;
    QDateEdit *fromdate_ = nullptr, *todate_ = nullptr;
    QLineEdit *from_value_1_ = nullptr, *to_value_1_ = nullptr, *from_value_2_ = nullptr, *to_value_2_ = nullptr;
    text_grid_model* model_ = nullptr;
    viewer_sort_model* sorted_ = nullptr; // what the grid shows: the listing, sorted by a header click
    bool header_restored_ = false;
    QTableView* Grid_ = nullptr;
};

} // namespace xkv
