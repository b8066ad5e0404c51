#pragma once
// The details of one row of the viewer: a table of the row's lab values by channel and the lines
// under it (the calibrations it used), as the row's extras give them.

#include "results/row_extras.h"

#include <QDialog>

#include <string>

namespace xkv {

class text_grid_model;

class TRowDetails : public QDialog {
    Q_OBJECT
public:
    // `title` names the row ("row 12, sample S1").
    TRowDetails(QWidget* parent, const std::string& title, const row_details& details);
};

} // namespace xkv
