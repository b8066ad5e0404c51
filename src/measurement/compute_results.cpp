#include "measurement/compute_results.h"

#include "measurement/float_error.h"
#include "settings/instrument_modes.h"
#include "settings/value_text.h"

namespace xkv {

namespace {

struct channel_input {
    const char* name; // "alpha" or "beta", for error texts
    double R;         // channel value
    double B;         // background
    double E;         // efficiency
    double u;         // uncertainty of the efficiency
};

struct channel_result {
    double activity;
    double uncertainty;
    double mda;
};

double channel_value(std::string_view text, bool empty_is_zero) {
    if (text.empty() && empty_is_zero) return 0;
    return parse_float(text);
}

// A counting time read from its digits; 0 is taken as 1.
std::int32_t counting_time(const std::string& text) {
    const auto t = static_cast<std::int32_t>(digits_to_int(text));
    return t == 0 ? 1 : t;
}

double activity(const channel_input& c, double K, double Q) {
    const std::string what = std::string("the ") + c.name + " activity";
    const double n = checked_divide(c.R - c.B, c.E, std::string("the ") + c.name + " efficiency");
    return checked_finite(checked_divide(K, Q, "the quantity") * n, what);
}

double uncertainty(const channel_input& c, std::int32_t t) {
    const std::string what = std::string("the ") + c.name + " uncertainty";
    const double net = c.R - c.B;
    double D = checked_finite(net * net * t, what);
    if (D == 0) D = 0.00001;
    const double U = checked_finite(2 * checked_sqrt(c.u * c.u + c.R / D, what), what);
    return U > 1 ? 0.999 : U;
}

double mda(const channel_input& c, std::int32_t t, std::int32_t tb, double K, double Q) {
    const std::string what = std::string("the ") + c.name + " MDA";
    const long double k = counting_k;
    const long double k2 = k * k;
    const double L = static_cast<double>(k2 * (1.0L / t + 1.0L / tb));
    const double S = static_cast<double>(checked_sqrt(c.B / t + c.B / tb, what) * 2 * k);
    const double F =
        checked_divide(K, Q, "the quantity") * checked_divide(1.0, c.E, std::string("the ") + c.name + " efficiency");
    return checked_finite((S + L) * F, what);
}

} // namespace

bool one_line_mode(std::int32_t mode) {
    const instrument_mode* m = find_mode(mode);
    return m && m->lines == 1;
}

std::string number_text(double value) { return to_local_decimal(format_general(value)); }

void compute_results(_r_results& row, const cur_measurment& setup, std::string_view alpha_value,
                     std::string_view beta_value) {
    const _calibration& set = setup.calibration;
    const _background& bg = setup.profile.background;
    const bool empty_is_zero = one_line_mode(setup.profile.mode);

    // Read in this order, so the first bad text is the one reported.
    channel_input a{"alpha", channel_value(alpha_value, empty_is_zero), 0, 0, 0};
    channel_input b{"beta", channel_value(beta_value, empty_is_zero), 0, 0, 0};
    const std::int32_t t = counting_time(row.time);
    const std::int32_t tb = counting_time(bg.time);
    a.B = parse_float(bg.alpha);
    b.B = parse_float(bg.beta);
    if (!set.background_correction) a.B = b.B = 0;
    a.E = parse_float(set.alpha);
    b.E = parse_float(set.beta);
    a.u = parse_float(set.act_alpha);
    b.u = parse_float(set.act_beta);
    const double K = setup.koef_k;
    const double Q = setup.quantity;

    channel_result ra{}, rb{};
    ra.activity = activity(a, K, Q);
    rb.activity = activity(b, K, Q);
    ra.uncertainty = uncertainty(a, t);
    rb.uncertainty = uncertainty(b, t);
    ra.mda = mda(a, t, tb, K, Q);
    rb.mda = mda(b, t, tb, K, Q);

    row.activity_l = number_text(ra.activity);
    row.u_activity_l = number_text(ra.uncertainty);
    row.activity_b = number_text(rb.activity);
    row.u_activity_b = number_text(rb.uncertainty);
    row.koef_k = number_text(K);
    row.quantity = format_general(Q);
    row.units = setup.units;
    row.MDA_a = number_text(ra.mda);
    row.MDA_b = number_text(rb.mda);
    row.text_act_a = ra.activity < ra.mda ? below_mda_alpha : row.activity_l;
    row.text_act_b = rb.activity < rb.mda ? below_mda_beta : row.activity_b;
    row.background = bg;
}

} // namespace xkv
