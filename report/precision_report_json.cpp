#include "report/precision_report_json.h"

#include <cmath>
#include <cstddef>
#include <optional>

#include "core/number_text.h"
#include "table/text_codec.h"

namespace coordconv {
namespace {

// Held bytes of undecodable names go out as U+FFFD (WithHeldBytesReplaced).
std::string JsonString(const std::string& raw) {
    const std::string text = WithHeldBytesReplaced(raw);
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
                       ", \"t_unbounded\": " + (p.t_unbounded ? "true" : "false") +
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
