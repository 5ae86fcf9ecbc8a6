// The precision report as programs read it: one UTF-8 JSON object.
#pragma once

#include <string>

#include "fitting/precision_report.h"

namespace coordconv {

// The keys, in the order written: model, caption, solved, message,
// equations, unknowns, redundancy, sigma0, sigma0_unit, critical_value,
// settings, parameters (name, text, sigma, unit), correlation_parameters,
// correlation, residual_titles, points (name, adopted, v, r, w, t,
// t_unbounded, uncontrolled, residuals, usable), suspected_outlier,
// accuracy_line. Missing values are null; an unbounded test value is null in
// t with t_unbounded true (JSON has no infinity). Held bytes of undecodable
// names are written as U+FFFD.
std::string PrecisionReportJson(const PrecisionReport& report);

}  // namespace coordconv
