// The precision report of a fit, computed from the same design matrix A and
// observations l that the solve used (adopted points only), taken into a
// well-conditioned basis of the same unknowns (EquationBasis):
//   v = A x - l the least-squares residuals, r = equations - unknowns (the redundancy),
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
// When the other points fit exactly (their share of v'v, v'v - v_k' Qvv_kk^-1
// v_k, is below kExactFitShare of v'v: zero at the working precision) and
// point k's is not, s_k is zero and point k's test value is unbounded: the
// point is the outlier whatever the critical value. Its t stays empty (no
// number holds it), t_unbounded is set, and it is named as the suspected
// outlier before any point with a finite test value.
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
// The other points' share of v'v below this fraction of v'v counts as zero
// (their sigma0 under a millionth of the point's own residuals).
inline constexpr long double kExactFitShare = 1e-12L;

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
    bool t_unbounded = false;  // the other points fit exactly, this one does not
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
    std::optional<long double> largest_t;  // the largest finite test value, signed
    bool largest_t_unbounded = false;      // the suspected outlier's test value is unbounded
    std::string accuracy_line;
    std::vector<std::string> residual_titles;  // titles of the residual columns
    // The largest difference between the written parameters' residuals and
    // the least-squares residuals the statistics use, in the observations'
    // unit: rounding of the solve (see ComputeFitStatistics).
    long double solve_residual_gap = 0;
};

// The same equations in other unknowns x_b of the model: rows `design`
// (A_b = A J, row for row), with the solve's unknowns x = J x_b
// (`to_unknowns` = J, square and invertible). A basis of centred, scaled
// coordinates keeps the normal matrix well conditioned where raw Gauss
// coordinates (x about 3.4e6 m, cubed 4e19) make it singular at the working
// precision. The fit's residuals, redundancy numbers and hence sigma0 and w
// are the same in every basis; a field's gradient g becomes J^T g.
struct EquationBasis {
    Matrix design;
    Matrix to_unknowns;
};

// The generic basis, for models whose equations are smooth functions of
// the position (the datum models, the plane four-parameter model): with the
// columns scaled to unit length (D), the mean point's equations M (the mean
// of every point's rows, `equations_per_point` rows each, in order) split
// the unknowns by an orthogonal Q (Householder, from M^T): the first
// columns of D Q move the mean point, the others leave it where it is, so
// their columns A D Q are the equations' change from the mean point: the
// coordinates that multiply rotations and scale come out centred, and no
// column of the raw coordinates' size (6.4e6 m) hides their spread.
// J = D Q. With as many equations per point as unknowns the equations are
// only scaled.
EquationBasis CentredOnMeanPoint(const Matrix& A, int equations_per_point);

// A polynomial surface's terms as powers p^i q^j of the two coordinates.
struct Monomial {
    int p_power;
    int q_power;
};
// The basis of the polynomial models: every equation of point k is its
// terms in u = (p_k - p0) / s, w = (q_k - q0) / s (p0, q0 the mean of the
// points, s the largest distance from it along either axis, 1 for one
// point), placed in its block of unknowns; a point has `blocks` equations,
// block b's coefficients are unknowns b * terms.size() onwards. The term set
// must hold every lower power of its terms (complete or twisted surfaces):
// then u^a w^b = s^-(a+b) sum C(a,i) (-p0)^(a-i) C(b,j) (-q0)^(b-j) p^i q^j
// is a combination of raw terms, which gives J.
EquationBasis CentredPolynomialBasis(const std::vector<Monomial>& terms, const std::vector<long double>& p,
                                     const std::vector<long double>& q, int blocks);

// The statistics of a solved fit. `equation_rows[i]` is the index into
// `points` of the point equation i belongs to; the points' names, flags,
// residual cells and positions are filled in by the caller. Everything is
// computed in `basis` when given (else in the equations as they are): the
// least-squares residuals v of the data, sigma0, the cofactor matrix,
// redundancy numbers, the outlier test, the sigmas and correlations through
// the turned gradients. The residuals of `solution` as written differ from v
// only by the solve's rounding; the largest difference is kept.
void ComputeFitStatistics(const Matrix& A, const Vector& l, const Vector& solution,
                          const std::vector<int>& equation_rows, const std::vector<ReportedParameter>& parameters,
                          PrecisionReport& report, const EquationBasis* basis = nullptr);

// The standard normal deviate with the same two-sided tail probability as
// Student's t = `t` (>= 0) with `degrees_of_freedom`.
long double NormalDeviateOfStudentT(long double t, int degrees_of_freedom);

}  // namespace coordconv
