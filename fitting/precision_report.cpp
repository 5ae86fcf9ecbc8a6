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

    long double largest = -1;
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
            if (std::fabs(*w) > largest) {
                largest = std::fabs(*w);
                report.largest_w = *w;
                if (largest > report.critical_value) report.suspected_outlier = point.name;
            }
        }
        point.w.push_back(w);
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
                std::string w = "null";
                if (statistics)
                    w = JsonList(p.w, [](const std::optional<long double>& value) { return JsonNumber(value); });
                return "{\"name\": " + JsonString(p.name) + ", \"adopted\": " + (p.adopted ? "true" : "false") +
                       ", \"v\": " + (statistics ? numbers(p.v) : "null") +
                       ", \"r\": " + (statistics ? numbers(p.r) : "null") + ", \"w\": " + w +
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
