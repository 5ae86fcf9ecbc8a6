#include "fitting/precision_report.h"

#include <algorithm>
#include <cmath>
#include <cstddef>


namespace coordconv {
namespace {

long double Dot(const Vector& a, const Vector& b) {
    long double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) sum += a[i] * b[i];
    return sum;
}

// g' Q h for the cofactor matrix Q.
long double Quadratic(const Vector& g, const Matrix& Q, const Vector& h) {
    long double sum = 0;
    for (std::size_t i = 0; i < g.size(); ++i) sum += g[i] * Dot(Q[i], h);
    return sum;
}

// x of M x = b for a small symmetric positive definite M (Gaussian elimination).
Vector SolveSmallSystem(Matrix M, Vector b) {
    const std::size_t n = b.size();
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j) {
            const long double factor = M[j][i] / M[i][i];
            for (std::size_t k = i; k < n; ++k) M[j][k] -= factor * M[i][k];
            b[j] -= factor * b[i];
        }
    Vector x(n);
    for (std::size_t i = n; i-- > 0;) {
        long double sum = b[i];
        for (std::size_t j = i + 1; j < n; ++j) sum -= M[i][j] * x[j];
        x[i] = sum / M[i][i];
    }
    return x;
}

// Continued fraction of the regularized incomplete beta function (modified
// Lentz), for x below (a + 1) / (a + b + 2).
long double BetaContinuedFraction(long double a, long double b, long double x) {
    constexpr long double kTiny = 1e-300L;
    long double c = 1;
    long double d = 1 - (a + b) * x / (a + 1);
    if (std::fabs(d) < kTiny) d = kTiny;
    d = 1 / d;
    long double h = d;
    for (int m = 1; m <= 300; ++m) {
        const long double m2 = 2 * m;
        long double aa = m * (b - m) * x / ((a + m2 - 1) * (a + m2));
        d = 1 + aa * d;
        if (std::fabs(d) < kTiny) d = kTiny;
        c = 1 + aa / c;
        if (std::fabs(c) < kTiny) c = kTiny;
        d = 1 / d;
        h *= d * c;
        aa = -(a + m) * (a + b + m) * x / ((a + m2) * (a + m2 + 1));
        d = 1 + aa * d;
        if (std::fabs(d) < kTiny) d = kTiny;
        c = 1 + aa / c;
        if (std::fabs(c) < kTiny) c = kTiny;
        d = 1 / d;
        const long double step = d * c;
        h *= step;
        if (std::fabs(step - 1) < 1e-15L) break;
    }
    return h;
}

// I_x(a, b), the regularized incomplete beta function.
long double RegularizedBeta(long double a, long double b, long double x) {
    if (x <= 0) return 0;
    if (x >= 1) return 1;
    const long double front =
        std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) + a * std::log(x) + b * std::log1p(-x));
    if (x < (a + 1) / (a + b + 2)) return front * BetaContinuedFraction(a, b, x) / a;
    return 1 - front * BetaContinuedFraction(b, a, 1 - x) / b;
}

}  // namespace

long double NormalDeviateOfStudentT(long double t, int degrees_of_freedom) {
    const long double nu = degrees_of_freedom;
    // Two-sided tail probability of Student's t: I_{nu/(nu+t^2)}(nu/2, 1/2).
    const long double tail = RegularizedBeta(nu / 2, 0.5L, nu / (nu + t * t));
    if (tail <= 0) return 40;  // beyond any critical value
    // z with erfc(z / sqrt 2) = tail, by bisection (erfc falls monotonically).
    long double low = 0;
    long double high = 40;
    for (int i = 0; i < 200; ++i) {
        const long double middle = (low + high) / 2;
        (std::erfc(middle / std::sqrt(2.0L)) > tail ? low : high) = middle;
    }
    return (low + high) / 2;
}

EquationBasis CentredOnMeanPoint(const Matrix& A, int equations_per_point) {
    const std::size_t n = A.empty() ? 0 : A[0].size();
    const std::size_t e = static_cast<std::size_t>(std::max(equations_per_point, 1));
    const std::size_t points = A.size() / e;
    // D: unit column lengths (a zero column keeps 1).
    Vector scale(n, 1.0L);
    for (std::size_t col = 0; col < n; ++col) {
        long double sum = 0;
        for (const Vector& row : A) sum += row[col] * row[col];
        if (sum > 0) scale[col] = 1 / std::sqrt(sum);
    }
    // M^T (n x e): the mean point's rows of the scaled equations, as columns.
    Matrix columns(n, Vector(e, 0.0L));
    for (std::size_t i = 0; i < points * e; ++i)
        for (std::size_t col = 0; col < n; ++col) columns[col][i % e] += A[i][col] * scale[col] / static_cast<long double>(points);
    // Q = H_1 ... H_e from the Householder reflections that triangularise M^T.
    Matrix Q(n, Vector(n, 0.0L));
    for (std::size_t i = 0; i < n; ++i) Q[i][i] = 1;
    for (std::size_t k = 0; k < e && k + 1 < n; ++k) {
        long double norm = 0;
        for (std::size_t i = k; i < n; ++i) norm += columns[i][k] * columns[i][k];
        norm = std::sqrt(norm);
        if (!(norm > 0)) continue;
        Vector u(n, 0.0L);
        const long double alpha = columns[k][k] > 0 ? -norm : norm;
        for (std::size_t i = k; i < n; ++i) u[i] = columns[i][k];
        u[k] -= alpha;
        long double length = 0;
        for (std::size_t i = k; i < n; ++i) length += u[i] * u[i];
        if (!(length > 0)) continue;
        // columns = (I - 2 u u^T / u^T u) columns, Q = Q (I - 2 u u^T / u^T u).
        for (std::size_t j = 0; j < e; ++j) {
            long double dot = 0;
            for (std::size_t i = k; i < n; ++i) dot += u[i] * columns[i][j];
            for (std::size_t i = k; i < n; ++i) columns[i][j] -= 2 * dot / length * u[i];
        }
        for (std::size_t r = 0; r < n; ++r) {
            long double dot = 0;
            for (std::size_t i = k; i < n; ++i) dot += Q[r][i] * u[i];
            for (std::size_t i = k; i < n; ++i) Q[r][i] -= 2 * dot / length * u[i];
        }
    }
    EquationBasis basis;
    basis.to_unknowns.assign(n, Vector(n, 0.0L));
    for (std::size_t r = 0; r < n; ++r)
        for (std::size_t c = 0; c < n; ++c) basis.to_unknowns[r][c] = scale[r] * Q[r][c];
    for (const Vector& row : A) {
        Vector turned(n, 0.0L);
        for (std::size_t c = 0; c < n; ++c)
            for (std::size_t k = 0; k < n; ++k) turned[c] += row[k] * basis.to_unknowns[k][c];
        basis.design.push_back(std::move(turned));
    }
    return basis;
}

EquationBasis CentredPolynomialBasis(const std::vector<Monomial>& terms, const std::vector<long double>& p,
                                     const std::vector<long double>& q, int blocks) {
    const std::size_t m = terms.size();
    const std::size_t count = p.size();
    long double p0 = 0;
    long double q0 = 0;
    for (std::size_t k = 0; k < count; ++k) {
        p0 += p[k];
        q0 += q[k];
    }
    if (count > 0) {
        p0 /= static_cast<long double>(count);
        q0 /= static_cast<long double>(count);
    }
    long double s = 0;
    for (std::size_t k = 0; k < count; ++k) s = std::fmax(s, std::fmax(std::fabs(p[k] - p0), std::fabs(q[k] - q0)));
    if (!(s > 0)) s = 1;

    const auto power = [](long double base, int exponent) {
        long double result = 1;
        for (int i = 0; i < exponent; ++i) result *= base;
        return result;
    };
    const auto binomial = [](int n, int k) {
        long double result = 1;
        for (int i = 1; i <= k; ++i) result = result * (n - k + i) / i;
        return result;
    };
    const std::size_t n = m * static_cast<std::size_t>(blocks);
    EquationBasis basis;
    for (std::size_t k = 0; k < count; ++k) {
        const long double u = (p[k] - p0) / s;
        const long double w = (q[k] - q0) / s;
        for (int b = 0; b < blocks; ++b) {
            Vector row(n, 0.0L);
            for (std::size_t t = 0; t < m; ++t)
                row[static_cast<std::size_t>(b) * m + t] = power(u, terms[t].p_power) * power(w, terms[t].q_power);
            basis.design.push_back(std::move(row));
        }
    }
    // x_raw[k] = sum over centred terms t of c_t K[t][k]: J[k][t] = K[t][k].
    basis.to_unknowns.assign(n, Vector(n, 0.0L));
    for (std::size_t t = 0; t < m; ++t) {
        const int a = terms[t].p_power;
        const int c = terms[t].q_power;
        const long double front = 1 / power(s, a + c);
        for (int i = 0; i <= a; ++i)
            for (int j = 0; j <= c; ++j) {
                std::size_t raw = m;
                for (std::size_t r = 0; r < m; ++r)
                    if (terms[r].p_power == i && terms[r].q_power == j) raw = r;
                if (raw == m) continue;  // not a closed term set: left out
                const long double value =
                    front * binomial(a, i) * power(-p0, a - i) * binomial(c, j) * power(-q0, c - j);
                for (int b = 0; b < blocks; ++b) {
                    const std::size_t offset = static_cast<std::size_t>(b) * m;
                    basis.to_unknowns[offset + raw][offset + t] += value;
                }
            }
    }
    return basis;
}

void ComputeFitStatistics(const Matrix& A_raw, const Vector& l, const Vector& x, const std::vector<int>& equation_rows,
                          const std::vector<ReportedParameter>& raw_parameters, PrecisionReport& report,
                          const EquationBasis* basis) {
    // Residuals of the solution as written; everything else in the basis.
    const Matrix& A = basis ? basis->design : A_raw;
    std::vector<ReportedParameter> parameters = raw_parameters;
    if (basis) {
        for (ReportedParameter& parameter : parameters) {
            if (parameter.gradient.empty()) continue;
            Vector turned(basis->to_unknowns[0].size(), 0.0L);
            for (std::size_t j = 0; j < turned.size(); ++j)
                for (std::size_t k = 0; k < parameter.gradient.size(); ++k)
                    turned[j] += basis->to_unknowns[k][j] * parameter.gradient[k];
            parameter.gradient = turned;
        }
    }
    report.solved = true;
    report.equations = static_cast<int>(A.size());
    report.unknowns = static_cast<int>(x.size());
    report.redundancy = report.equations - report.unknowns;

    // The least-squares residuals v = A_b x_b - l, x_b = Q A_b^T l, in the
    // basis: those of the data and the model, whatever the rounding of the
    // solve; the written parameters' residuals A x - l are compared with them.
    const Matrix Q = InverseNormalMatrix(A);
    const std::size_t n = Q.size();
    Vector normal_right(n, 0.0L);
    for (std::size_t i = 0; i < A.size(); ++i)
        for (std::size_t j = 0; j < n; ++j) normal_right[j] += A[i][j] * l[i];
    Vector basis_solution(n, 0.0L);
    for (std::size_t j = 0; j < n; ++j) basis_solution[j] = Dot(Q[j], normal_right);
    Vector v(A.size());
    long double vtv = 0;
    long double gap = 0;
    for (std::size_t i = 0; i < A.size(); ++i) {
        v[i] = Dot(A[i], basis_solution) - l[i];
        vtv += v[i] * v[i];
        gap = std::fmax(gap, std::fabs(Dot(A_raw[i], x) - l[i] - v[i]));
    }
    if (report.redundancy >= 1) report.sigma0 = std::sqrt(vtv / report.redundancy);
    report.solve_residual_gap = gap;
    const long double variance_factor = report.sigma0 ? *report.sigma0 * *report.sigma0 : 0;

    std::vector<const ReportedParameter*> estimated;
    for (const ReportedParameter& parameter : parameters) {
        ParameterPrecision precision{parameter.name, parameter.text, parameter.unit, std::nullopt};
        if (!parameter.gradient.empty()) {
            estimated.push_back(&parameter);
            if (report.sigma0) precision.sigma = std::sqrt(variance_factor * Quadratic(parameter.gradient, Q, parameter.gradient));
        }
        report.parameters.push_back(precision);
    }
    // Correlations need no sigma0: they are those of the cofactor matrix.
    for (const ReportedParameter* row : estimated) {
        report.correlation_names.push_back(row->name);
        Vector correlations;
        for (const ReportedParameter* col : estimated) {
            const long double product = std::sqrt(Quadratic(row->gradient, Q, row->gradient) *
                                                  Quadratic(col->gradient, Q, col->gradient));
            correlations.push_back(product > 0 ? Quadratic(row->gradient, Q, col->gradient) / product : 0);
        }
        report.correlation.push_back(correlations);
    }

    for (std::size_t i = 0; i < A.size(); ++i) {
        PointPrecision& point = report.points[static_cast<std::size_t>(equation_rows[i])];
        const long double redundancy_number = std::fmax(0.0L, 1 - Quadratic(A[i], Q, A[i]));
        point.v.push_back(v[i]);
        point.r.push_back(redundancy_number);
        std::optional<long double> w;
        if (redundancy_number < kUncontrolledRedundancy) {
            point.uncontrolled = true;
        } else if (report.sigma0 && *report.sigma0 > 0) {
            w = v[i] / (*report.sigma0 * std::sqrt(redundancy_number));
        }
        point.w.push_back(w);
    }

    // The outlier test, point by point with sigma0 of the other points.
    long double largest = -1;
    for (std::size_t k = 0; k < report.points.size(); ++k) {
        std::vector<std::size_t> rows;
        for (std::size_t i = 0; i < A.size(); ++i)
            if (static_cast<std::size_t>(equation_rows[i]) == k) rows.push_back(i);
        PointPrecision& point = report.points[k];
        point.t.assign(rows.size(), std::nullopt);
        const int others_redundancy = report.redundancy - static_cast<int>(rows.size());
        if (rows.empty() || point.uncontrolled || others_redundancy < 1) continue;
        Matrix block(rows.size(), Vector(rows.size()));
        Vector own(rows.size());
        for (std::size_t a = 0; a < rows.size(); ++a) {
            own[a] = v[rows[a]];
            for (std::size_t b = 0; b < rows.size(); ++b)
                block[a][b] = (a == b ? 1 : 0) - Quadratic(A[rows[a]], Q, A[rows[b]]);
        }
        const long double own_share = Dot(own, SolveSmallSystem(block, own));
        const long double others_share = vtv - own_share;
        if (vtv > 0 && others_share <= kExactFitShare * vtv) {
            // s_k = 0 and v_k != 0: t is unbounded.
            point.t_unbounded = true;
            if (!report.largest_t_unbounded) {
                report.largest_t_unbounded = true;
                report.suspected_outlier = point.name;
            }
            continue;
        }
        const long double others = others_share / others_redundancy;
        if (!(others > 0)) continue;
        for (std::size_t a = 0; a < rows.size(); ++a) {
            const long double t = v[rows[a]] / std::sqrt(others * point.r[a]);
            const long double deviate = std::copysign(NormalDeviateOfStudentT(std::fabs(t), others_redundancy), t);
            point.t[a] = deviate;
            if (std::fabs(deviate) > largest) {
                largest = std::fabs(deviate);
                report.largest_t = deviate;
                if (largest > report.critical_value && !report.largest_t_unbounded) report.suspected_outlier = point.name;
            }
        }
    }
}

}  // namespace coordconv
