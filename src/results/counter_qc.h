#pragma once
// Chi-square test of a counter: repeated counts of one source scatter as Poisson counts do, so
// sum (N_i - mean)^2 / mean follows chi-square with n - 1 degrees of freedom. A p-value outside
// 0.05..0.95 says the counter scatters too much or too little.

#include "measurement/r_results.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xkv {

// Q(a, x) = Gamma(a, x) / Gamma(a), the upper tail; a > 0, x >= 0.
double upper_regularized_gamma(double a, double x);

struct chi_square_result {
    double chi_square = 0;
    int degrees_of_freedom = 0;
    double p_value = 1; // upper tail
    bool flagged = false;
};

// None for fewer than two counts or a mean that is not above 0.
std::optional<chi_square_result> chi_square_test(const std::vector<double>& counts);

// One series of counts: consecutive listing rows of one sample, mode and parameter set whose
// series numbers run on by one, in a counter mode.
struct count_series {
    std::string sample_id;
    std::string first_id;
    std::string last_id;
    std::vector<double> alpha;
    std::vector<double> beta;
};

// Collects listing rows (the viewer's 32 columns) into series as they come.
class series_collector {
public:
    void add(const std::vector<std::string_view>& cells);
    // The series so far, the one still open included.
    std::vector<count_series> finish();

private:
    std::vector<count_series> done_;
    std::optional<count_series> open_;
    std::string key_; // sample, description, mode and set of the open series
    long long last_number_ = 0;
};

// "chi2 2, 4 dof, p 0.735758882342885, ok".
std::string chi_square_text(const chi_square_result& result);

// The run window's line after a series: "alpha: chi2 ..., beta: chi2 ..." over the run's rows in
// a counter mode with two or more rows; empty otherwise.
std::string run_chi_square_text(const run_table& table);

} // namespace xkv
