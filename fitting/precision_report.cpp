#include "fitting/precision_report.h"

#include <cmath>
#include <cstddef>

#include "core/number_text.h"

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

namespace {

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    static const char* const kHex = "0123456789abcdef";
                    out += "\\u00";
                    out += kHex[(c >> 4) & 0xf];
                    out += kHex[c & 0xf];
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string JsonNumber(std::optional<long double> value) {
    if (!value || !std::isfinite(*value)) return "null";
    return ShortestDoubleText(*value);
}

std::string JsonOptionalString(const std::optional<std::string>& text) { return text ? JsonString(*text) : "null"; }

template <typename List, typename Write>
std::string JsonList(const List& list, Write write) {
    std::string out = "[";
    for (std::size_t i = 0; i < list.size(); ++i) out += (i ? ", " : "") + write(list[i]);
    return out + "]";
}

}  // namespace

void ComputeFitStatistics(const Matrix& A, const Vector& l, const Vector& x, const std::vector<int>& equation_rows,
                          const std::vector<ReportedParameter>& parameters, PrecisionReport& report) {
    report.solved = true;
    report.equations = static_cast<int>(A.size());
    report.unknowns = static_cast<int>(x.size());
    report.redundancy = report.equations - report.unknowns;

    Vector v(A.size());
    long double vtv = 0;
    for (std::size_t i = 0; i < A.size(); ++i) {
        v[i] = Dot(A[i], x) - l[i];
        vtv += v[i] * v[i];
    }
    if (report.redundancy >= 1) report.sigma0 = std::sqrt(vtv / report.redundancy);
    const Matrix Q = InverseNormalMatrix(A);
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
        const long double others = (vtv - own_share) / others_redundancy;
        if (!(others > 0)) continue;
        for (std::size_t a = 0; a < rows.size(); ++a) {
            const long double t = v[rows[a]] / std::sqrt(others * point.r[a]);
            const long double deviate = std::copysign(NormalDeviateOfStudentT(std::fabs(t), others_redundancy), t);
            point.t[a] = deviate;
            if (std::fabs(deviate) > largest) {
                largest = std::fabs(deviate);
                report.largest_t = deviate;
                if (largest > report.critical_value) report.suspected_outlier = point.name;
            }
        }
    }
}

std::string PrecisionReportJson(const PrecisionReport& report) {
    const auto numbers = [](const Vector& values) {
        return JsonList(values, [](long double value) { return JsonNumber(value); });
    };
    std::string json = "{";
    json += "\"model\": " + JsonString(report.description.model);
    json += ", \"caption\": " + JsonString(report.description.caption);
    json += ", \"solved\": " + std::string(report.solved ? "true" : "false");
    json += ", \"message\": " + JsonOptionalString(report.message.empty() ? std::nullopt : std::optional(report.message));
    json += ", \"equations\": " + (report.solved ? std::to_string(report.equations) : "null");
    json += ", \"unknowns\": " + (report.solved ? std::to_string(report.unknowns) : "null");
    json += ", \"redundancy\": " + (report.solved ? std::to_string(report.redundancy) : "null");
    json += ", \"sigma0\": " + JsonNumber(report.sigma0);
    json += ", \"sigma0_unit\": " + JsonString(report.description.observation_unit);
    json += ", \"critical_value\": " + JsonNumber(report.critical_value);
    json += ", \"settings\": " + JsonList(report.description.settings, JsonString);
    json += ", \"parameters\": " + JsonList(report.parameters, [](const ParameterPrecision& p) {
                return "{\"name\": " + JsonString(p.name) + ", \"text\": " + JsonString(p.text) +
                       ", \"sigma\": " + JsonNumber(p.sigma) + ", \"unit\": " + JsonString(p.unit) + "}";
            });
    json += ", \"correlation_parameters\": " + JsonList(report.correlation_names, JsonString);
    json += ", \"correlation\": " + JsonList(report.correlation, numbers);
    json += ", \"residual_titles\": " + JsonList(report.residual_titles, JsonString);
    json += ", \"points\": " + JsonList(report.points, [&](const PointPrecision& p) {
                const bool statistics = p.adopted && report.solved;
                const auto optional_numbers = [](const std::vector<std::optional<long double>>& values) {
                    return JsonList(values, [](const std::optional<long double>& value) { return JsonNumber(value); });
                };
                const std::string w = statistics ? optional_numbers(p.w) : "null";
                const std::string t = statistics ? optional_numbers(p.t) : "null";
                return "{\"name\": " + JsonString(p.name) + ", \"adopted\": " + (p.adopted ? "true" : "false") +
                       ", \"v\": " + (statistics ? numbers(p.v) : "null") +
                       ", \"r\": " + (statistics ? numbers(p.r) : "null") + ", \"w\": " + w + ", \"t\": " + t +
                       ", \"uncontrolled\": " + (p.uncontrolled ? "true" : "false") +
                       ", \"residuals\": " + JsonList(p.residuals, JsonString) + ", \"usable\": " + JsonString(p.usable) +
                       "}";
            });
    json += ", \"suspected_outlier\": " + JsonOptionalString(report.suspected_outlier);
    json += ", \"accuracy_line\": " + JsonString(report.accuracy_line);
    json += "}\n";
    return json;
}

}  // namespace coordconv
