// The precision report of a fit, computed from the same design matrix A and
// observations l that the solve used (adopted points only):
//   v = A x - l, r = equations - unknowns (the redundancy),
//   sigma0 = sqrt(v'v / r) in the unit of the model's observations,
//   Qxx = (A'A)^-1, the covariance of the unknowns sigma0^2 Qxx, carried to
//   each field by its gradient with respect to the unknowns,
//   the redundancy number r_i = 1 - a_i' Qxx a_i of every equation and the
//   standardized residual w_i = v_i / (sigma0 sqrt(r_i)).
// An equation with r_i below kUncontrolledRedundancy makes its point
// uncontrolled (a blunder there leaves no trace in the residuals, and its w
// is not formed).
//
// The outlier test. A blunder inflates sigma0 and |w| can never exceed
// sqrt(r), so w itself misses blunders in small networks (a 10 sigma blunder
// in one of 8 Bursa-Wolf points passed 3.29 in 129 of 200 runs). The test
// therefore takes sigma0 of the other points: for point k with residuals v_k
// and cofactor block Qvv_kk,
//   s_k^2 = (v'v - v_k' Qvv_kk^-1 v_k) / (r - n_k),  t_i = v_i / (s_k sqrt(r_i)),
// which follows Student's t with r - n_k degrees of freedom, and turns t_i
// into the normal deviate of the same two-sided probability, so that
// kOutlierCriticalValue keeps alpha = 0.001. The component with the largest
// such |t| above it names its point as the suspected outlier.
//
// With r = 0 the report has no sigma0, no sigma and no w. With too few points
// it holds the message, the fields as typed and the check residuals only.
// Nothing here changes the solve's fields, residual columns or flags.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/least_squares.h"

namespace coordconv {

// Two-sided critical value of the standard normal distribution for alpha = 0.001.
inline constexpr long double kOutlierCriticalValue = 3.29L;
// Redundancy numbers below this count as zero.
inline constexpr long double kUncontrolledRedundancy = 0.01L;

// A field of the parameter group as the model reports it.
struct ReportedParameter {
    std::string name;  // "Tx", "R", "a0"
    std::string text;  // the field's text after the solve
    std::string unit;  // "m", "\"" (arc seconds), "" (pure number or coefficient)
    // The field's value as a function of the unknowns: its gradient, in the
    // field's unit per unit of each unknown. Empty for a field the
    // adjustment does not estimate (a mean height shift, the region centre).
    Vector gradient;
};

// What a model tells the report about itself.
struct ReportDescription {
    std::string model;             // coordconv-cli's tool name, "bursa-wolf"
    std::string caption;           // the window's caption
    std::string observation_unit;  // unit of v and sigma0
    std::string residual_unit;     // unit of the horizontal residual columns ("m" or "\"")
    bool geodetic_positions = false;  // source columns 1, 2 are B, L (ddd.mmss)
    std::vector<std::string> settings;  // lines: settings, the parameters' frame
};

struct ParameterPrecision {
    std::string name;
    std::string text;
    std::string unit;
    std::optional<long double> sigma;  // in `unit`; none without redundancy or estimate
};

struct PointPrecision {
    std::string name;
    bool adopted = false;
    // Adopted points: one entry per equation, in the order they were formed.
    Vector v;
    Vector r;
    std::vector<std::optional<long double>> w;
    std::vector<std::optional<long double>> t;  // the outlier test's normal deviates
    bool uncontrolled = false;
    std::vector<std::string> residuals;  // the grid's residual cells, as written
    std::string usable;                  // the grid's usable flag
    // For the plot: the source position (x, y in metres or B, L in degrees)
    // and the residual components as the grid shows them.
    std::optional<long double> first;
    std::optional<long double> second;
    std::optional<long double> north_residual;
    std::optional<long double> east_residual;
    std::optional<long double> height_residual;
};

struct PrecisionReport {
    ReportDescription description;
    bool solved = false;
    std::string message;  // too few points: the message the solve returned
    int equations = 0;
    int unknowns = 0;
    int redundancy = 0;
    std::optional<long double> sigma0;
    long double critical_value = kOutlierCriticalValue;
    std::vector<ParameterPrecision> parameters;
    std::vector<std::string> correlation_names;  // the estimated parameters, in order
    Matrix correlation;
    std::vector<PointPrecision> points;
    std::optional<std::string> suspected_outlier;
    std::optional<long double> largest_t;  // the largest test value, signed
    std::string accuracy_line;
    std::vector<std::string> residual_titles;  // titles of the residual columns
};

// The statistics of a solved fit. `equation_rows[i]` is the index into
// `points` of the point equation i belongs to; the points' names, flags,
// residual cells and positions are filled in by the caller.
void ComputeFitStatistics(const Matrix& A, const Vector& l, const Vector& solution,
                          const std::vector<int>& equation_rows, const std::vector<ReportedParameter>& parameters,
                          PrecisionReport& report);

// The standard normal deviate with the same two-sided tail probability as
// Student's t = `t` (>= 0) with `degrees_of_freedom`.
long double NormalDeviateOfStudentT(long double t, int degrees_of_freedom);

// The machine-readable report (UTF-8 JSON, keys as documented in the README):
// model, redundancy, sigma0, sigma0_unit, critical_value, parameters (name,
// text, sigma, unit), correlation, correlation_parameters, points (name,
// adopted, v, r, w, t, uncontrolled, usable, residuals), suspected_outlier, solved, message,
// accuracy_line. Missing values are null.
std::string PrecisionReportJson(const PrecisionReport& report);

}  // namespace coordconv
