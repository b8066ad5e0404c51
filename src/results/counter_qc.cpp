#include "results/counter_qc.h"

#include "results/viewer_query.h"
#include "settings/errors.h"
#include "settings/value_text.h"

#include <cmath>
#include <limits>

namespace xkv {

double upper_regularized_gamma(double a, double x) {
    if (x <= 0) return 1;
    const double log_prefactor = a * std::log(x) - x - std::lgamma(a);
    constexpr double eps = 1e-15;
    if (x < a + 1) {
        // Series for the lower part P(a, x); Q = 1 - P.
        double term = 1 / a, sum = term;
        for (int n = 1; n < 1000 && std::abs(term) > std::abs(sum) * eps; ++n) {
            term *= x / (a + n);
            sum += term;
        }
        return 1 - sum * std::exp(log_prefactor);
    }
    // Continued fraction for Q(a, x) (modified Lentz).
    constexpr double tiny = std::numeric_limits<double>::min() / eps;
    double b = x + 1 - a, c = 1 / tiny, d = 1 / b, h = d;
    for (int i = 1; i < 1000; ++i) {
        const double an = -i * (i - a);
        b += 2;
        d = an * d + b;
        if (std::abs(d) < tiny) d = tiny;
        c = b + an / c;
        if (std::abs(c) < tiny) c = tiny;
        d = 1 / d;
        const double step = d * c;
        h *= step;
        if (std::abs(step - 1) < eps) break;
    }
    return std::exp(log_prefactor) * h;
}

std::optional<chi_square_result> chi_square_test(const std::vector<double>& counts) {
    if (counts.size() < 2) return std::nullopt;
    double sum = 0;
    for (double n : counts) sum += n;
    const double mean = sum / static_cast<double>(counts.size());
    if (!(mean > 0)) return std::nullopt;
    chi_square_result r;
    for (double n : counts) r.chi_square += (n - mean) * (n - mean) / mean;
    r.degrees_of_freedom = static_cast<int>(counts.size()) - 1;
    r.p_value = upper_regularized_gamma(r.degrees_of_freedom / 2.0, r.chi_square / 2);
    r.flagged = r.p_value < 0.05 || r.p_value > 0.95;
    return r;
}

void series_collector::add(const std::vector<std::string_view>& cells) {
    const auto at = [&cells](std::string_view column) {
        const std::size_t i = viewer_column(column);
        return i < cells.size() ? cells[i] : std::string_view{};
    };
    const std::string_view mode = at("mode");
    if (mode != "C1-C2" && mode != "C1,C2") return;
    double alpha = 0, beta = 0;
    long long number = 0;
    try {
        alpha = parse_float(at("p1"));
        beta = parse_float(at("p2"));
        number = digits_to_int(at("series_number"));
    } catch (const conversion_error&) {
        return;
    }
    std::string key;
    for (std::string_view part : {at("sample_id"), at("description"), mode, at("cal_name")}) {
        key += std::to_string(part.size()) + ':';
        key += part;
    }
    if (!open_ || key != key_ || number != last_number_ + 1) {
        if (open_) done_.push_back(std::move(*open_));
        open_ = count_series{std::string(at("sample_id")), std::string(at("id")), {}, {}, {}};
        key_ = std::move(key);
    }
    open_->last_id = at("id");
    open_->alpha.push_back(alpha);
    open_->beta.push_back(beta);
    last_number_ = number;
}

std::vector<count_series> series_collector::finish() {
    if (open_) done_.push_back(std::move(*open_));
    open_.reset();
    return std::move(done_);
}

std::string run_chi_square_text(const run_table& table) {
    std::vector<double> alpha, beta;
    for (const _r_results& row : table) {
        if (row.sample_id.empty()) break;
        if (row.mode != "C1-C2" && row.mode != "C1,C2") return {};
        try {
            alpha.push_back(parse_float(row.p1));
            beta.push_back(parse_float(row.p2));
        } catch (const conversion_error&) {
            return {};
        }
    }
    const auto a = chi_square_test(alpha);
    const auto b = chi_square_test(beta);
    std::string text;
    if (a) text = "alpha: " + chi_square_text(*a);
    if (b) text += (text.empty() ? "" : "   ") + std::string("beta: ") + chi_square_text(*b);
    return text;
}

std::string chi_square_text(const chi_square_result& r) {
    return "chi2 " + format_general(r.chi_square) + ", " + std::to_string(r.degrees_of_freedom) + " dof, p " +
           format_general(r.p_value) + (r.flagged ? ", outside 0.05..0.95" : ", ok");
}

} // namespace xkv
