#include "report/precision_report_document.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainterPath>
#include <QPdfWriter>
#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/errors.h"
#include "core/number_text.h"
#include "report/precision_report_json.h"
#include "table/safe_file.h"
#include "table/text_codec.h"

namespace coordconv {
namespace {

// Held bytes of undecodable names are shown as U+FFFD (WithHeldBytesReplaced).
QString Q(const std::string& raw) {
    const std::string text = WithHeldBytesReplaced(raw);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Escaped(const std::string& text) { return Q(text).toHtmlEscaped(); }

// A number for people: 4 significant decimals of its magnitude, no exponent
// for ordinary sizes.
QString Figure(long double value, int decimals = 4) {
    if (value != 0 && (std::fabs(value) < 1e-4L || std::fabs(value) >= 1e9L))
        return QString::number(static_cast<double>(value), 'g', 4);
    return QString::number(static_cast<double>(value), 'f', decimals);
}

QString OptionalFigure(const std::optional<long double>& value, int decimals = 4) {
    return value ? Figure(*value, decimals) : QStringLiteral("—");
}

// 1, 2 or 5 times a power of ten, at most `limit`.
long double RoundLength(long double limit) {
    const long double power = std::pow(10.0L, std::floor(std::log10(limit)));
    for (const long double step : {5.0L, 2.0L, 1.0L})
        if (step * power <= limit) return step * power;
    return power;
}

bool Flagged(const PointPrecision& point) { return point.usable == "No"; }

}  // namespace

void DrawResidualPlot(QPainter& painter, const QRectF& area, const PrecisionReport& report) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(area, Qt::white);
    QFont font = painter.font();
    font.setPixelSize(std::max(11, static_cast<int>(area.height() / 48)));
    painter.setFont(font);
    const bool geodetic = report.description.geodetic_positions;
    const QString unit = Q(report.description.residual_unit);

    std::vector<const PointPrecision*> placed;
    for (const PointPrecision& point : report.points)
        if (point.first && point.second) placed.push_back(&point);
    const QFontMetricsF metrics(painter.font());
    const double line = metrics.height();
    const double label_width = metrics.horizontalAdvance(QStringLiteral("3385062.0"));
    const QRectF frame = area.adjusted(label_width + line * 1.8, line * 2, -line, -line * 4.5);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(frame);
    painter.drawText(QRectF(area.left(), area.top() + line * 0.4, area.width(), line * 1.2), Qt::AlignHCenter,
                     Q(report.description.caption) + QStringLiteral(" 公共点残差图"));
    painter.drawText(QRectF(frame.left(), frame.bottom() + line * 1.2, frame.width(), line * 1.2), Qt::AlignHCenter,
                     geodetic ? QStringLiteral("经度L (°, 东)") : QStringLiteral("横坐标y (m, 东)"));
    painter.save();
    painter.translate(area.left() + line * 0.2, frame.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-frame.height() / 2, 0, frame.height(), line * 1.2), Qt::AlignHCenter,
                     geodetic ? QStringLiteral("纬度B (°, 北)") : QStringLiteral("纵坐标x (m, 北)"));
    painter.restore();
    if (placed.empty()) {
        painter.drawText(frame, Qt::AlignCenter, QStringLiteral("无可绘制的公共点"));
        painter.restore();
        return;
    }

    // Positions: north up, east right, one ground scale on both axes.
    long double north_min = *placed[0]->first, north_max = north_min;
    long double east_min = *placed[0]->second, east_max = east_min;
    for (const PointPrecision* p : placed) {
        north_min = std::min(north_min, *p->first);
        north_max = std::max(north_max, *p->first);
        east_min = std::min(east_min, *p->second);
        east_max = std::max(east_max, *p->second);
    }
    const long double east_factor = geodetic ? std::cos((north_min + north_max) / 2 * 3.14159265358979323846L / 180) : 1;
    const long double span = std::max({(north_max - north_min), (east_max - east_min) * east_factor, 1e-9L});
    const QRectF inner = frame.adjusted(40, 40, -40, -40);
    const long double scale = std::min(inner.width(), inner.height()) / span;
    const QPointF centre = inner.center();
    const long double north_mid = (north_min + north_max) / 2, east_mid = (east_min + east_max) / 2;
    const auto at = [&](long double north, long double east) {
        return QPointF(centre.x() + static_cast<double>((east - east_mid) * east_factor * scale),
                       centre.y() - static_cast<double>((north - north_mid) * scale));
    };
    painter.setPen(Qt::darkGray);
    painter.drawText(QRectF(frame.left(), frame.bottom() + 2, label_width * 1.5, line), Qt::AlignLeft,
                     Figure(east_mid - static_cast<long double>(centre.x() - frame.left()) / scale / east_factor, geodetic ? 4 : 1));
    painter.drawText(QRectF(frame.right() - label_width * 1.5, frame.bottom() + 2, label_width * 1.5, line), Qt::AlignRight,
                     Figure(east_mid + static_cast<long double>(frame.right() - centre.x()) / scale / east_factor, geodetic ? 4 : 1));
    painter.drawText(QRectF(frame.left() - label_width - line * 0.3, frame.top(), label_width, line), Qt::AlignRight,
                     Figure(north_mid + static_cast<long double>(centre.y() - frame.top()) / scale, geodetic ? 4 : 0));
    painter.drawText(QRectF(frame.left() - label_width - line * 0.3, frame.bottom() - line, label_width, line), Qt::AlignRight,
                     Figure(north_mid - static_cast<long double>(frame.bottom() - centre.y()) / scale, geodetic ? 4 : 0));

    // Exaggeration: the largest residual spans a sixth of the plot.
    long double largest = 0;
    long double largest_height = 0;
    for (const PointPrecision* p : placed) {
        if (p->north_residual && p->east_residual)
            largest = std::max(largest, std::hypot(*p->north_residual, *p->east_residual));
        if (p->height_residual) largest_height = std::max(largest_height, std::fabs(*p->height_residual));
    }
    const double reach = std::min(frame.width(), frame.height()) / 6;
    const long double arrow_scale = largest > 0 ? reach / largest : 0;
    const long double bar_scale = largest_height > 0 ? reach / 2 / largest_height : 0;

    for (const PointPrecision* p : placed) {
        const QPointF place = at(*p->first, *p->second);
        const QColor colour = Flagged(*p) ? QColor(Qt::red) : QColor(Qt::black);
        if (p->north_residual && p->east_residual && arrow_scale > 0) {
            const QPointF tip = place + QPointF(static_cast<double>(*p->east_residual * arrow_scale),
                                                -static_cast<double>(*p->north_residual * arrow_scale));
            painter.setPen(QPen(Qt::blue, 1.5));
            painter.drawLine(place, tip);
            const QPointF direction = tip - place;
            const double length = std::hypot(direction.x(), direction.y());
            if (length > 4) {
                const QPointF unit_vector = direction / length;
                const QPointF normal(-unit_vector.y(), unit_vector.x());
                QPainterPath head;
                head.moveTo(tip);
                head.lineTo(tip - unit_vector * 8 + normal * 3.5);
                head.lineTo(tip - unit_vector * 8 - normal * 3.5);
                head.closeSubpath();
                painter.fillPath(head, Qt::blue);
            }
        }
        if (p->height_residual && bar_scale > 0) {
            const double bar = static_cast<double>(*p->height_residual * bar_scale);
            painter.fillRect(QRectF(place.x() + 7, place.y() - std::max(bar, 0.0), 4, std::fabs(bar)), QColor(0, 150, 0));
        }
        painter.setPen(QPen(colour, 1.5));
        if (p->adopted) {
            painter.setBrush(colour);
            painter.drawEllipse(place, 3.5, 3.5);
        } else {
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(QRectF(place.x() - 4, place.y() - 4, 8, 8));
        }
        painter.setBrush(Qt::NoBrush);
        if (report.suspected_outlier && *report.suspected_outlier == p->name) {
            painter.setPen(QPen(Qt::red, 2));
            painter.drawEllipse(place, 11, 11);
        }
        painter.setPen(colour);
        painter.drawText(place + QPointF(-line * 0.5, line * 1.1), Q(p->name));
    }

    // Scale bars and legend below the frame, each item after the previous one.
    painter.setPen(Qt::black);
    double x = frame.left();
    const double y = area.bottom() - line;
    const double gap = line;
    const auto text = [&](const QString& words) {
        painter.drawText(QPointF(x, y + line * 0.35), words);
        x += metrics.horizontalAdvance(words) + gap;
    };
    if (arrow_scale > 0) {
        const long double length = RoundLength(reach / arrow_scale);
        const double pixels = static_cast<double>(length * arrow_scale);
        painter.setPen(QPen(Qt::blue, 2));
        painter.drawLine(QPointF(x, y), QPointF(x + pixels, y));
        painter.setPen(Qt::black);
        x += pixels + line * 0.4;
        text(QStringLiteral("平面残差 ") + Figure(length, 4) + " " + unit);
    }
    if (bar_scale > 0) {
        const long double length = RoundLength(reach / 2 / bar_scale);
        const double pixels = static_cast<double>(length * bar_scale);
        painter.fillRect(QRectF(x, y - pixels / 2, 4, pixels), QColor(0, 150, 0));
        x += line * 0.6;
        text(QStringLiteral("高程残差 ") + Figure(length, 4) + QStringLiteral(" m"));
    }
    painter.setBrush(Qt::black);
    painter.drawEllipse(QPointF(x + 4, y), 3.5, 3.5);
    painter.setBrush(Qt::NoBrush);
    x += line * 0.8;
    text(QStringLiteral("采用点"));
    painter.drawRect(QRectF(x, y - 4, 8, 8));
    x += line * 0.8;
    text(QStringLiteral("检核点"));
    painter.setPen(Qt::red);
    text(QStringLiteral("红色: 可用=No   圆圈: 疑似粗差"));
    painter.restore();
}

QImage ResidualPlotImage(const PrecisionReport& report, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    DrawResidualPlot(painter, QRectF(0, 0, width, height), report);
    return image;
}

namespace {

// The HTML before the point table: the head, settings, summary and verdict,
// parameters and correlations.
QString FrontHtml(const PrecisionReport& report) {
    const ReportDescription& d = report.description;
    QString html = QStringLiteral("<html><head><meta charset=\"utf-8\"><title>") + Escaped(d.caption) +
                   QStringLiteral(" 精度报告</title></head><body style=\"font-family: sans-serif\">");
    html += QStringLiteral("<h2>") + Escaped(d.caption) + QStringLiteral(" — 精度报告</h2>");
    for (const std::string& line : d.settings) html += QStringLiteral("<p>") + Escaped(line) + QStringLiteral("</p>");

    // Summary and verdict.
    html += QStringLiteral("<h3>平差概况</h3><table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">");
    const auto row = [&](const QString& name, const QString& value) {
        html += QStringLiteral("<tr><td>") + name + QStringLiteral("</td><td>") + value + QStringLiteral("</td></tr>");
    };
    if (report.solved) {
        row(QStringLiteral("方程数"), QString::number(report.equations));
        row(QStringLiteral("未知数"), QString::number(report.unknowns));
        row(QStringLiteral("多余观测数 r"), QString::number(report.redundancy));
        row(QStringLiteral("单位权中误差 σ0"), report.sigma0 ? Figure(*report.sigma0) + " " + Escaped(d.observation_unit)
                                                      : QStringLiteral("无多余观测, 不计算"));
        row(QStringLiteral("粗差检验临界值"), Figure(report.critical_value, 2) + QStringLiteral(" (α = 0.001, 双侧)"));
    }
    if (!report.message.empty()) row(QStringLiteral("说明"), Escaped(report.message).replace('\n', "<br>"));
    row(QStringLiteral("精度"), Escaped(report.accuracy_line));
    QString verdict;
    if (!report.solved) {
        verdict = QStringLiteral("参数未重新计算, 无平差统计");
    } else if (!report.sigma0) {
        verdict = QStringLiteral("无多余观测: 无法检验粗差");
    } else if (report.suspected_outlier && report.largest_t_unbounded) {
        verdict = QStringLiteral("疑似粗差点: ") + Escaped(*report.suspected_outlier) +
                  QStringLiteral(" (检验值 ∞: 其余点完全符合, 该点残差不为零)");
    } else if (report.suspected_outlier) {
        verdict = QStringLiteral("疑似粗差点: ") + Escaped(*report.suspected_outlier) + QStringLiteral(" (检验值 ") +
                  Figure(*report.largest_t, 2) + QStringLiteral(")");
    } else {
        verdict = QStringLiteral("未发现粗差 (最大检验值 ") + OptionalFigure(report.largest_t, 2) + QStringLiteral(")");
    }
    QStringList uncontrolled;
    for (const PointPrecision& point : report.points)
        if (point.uncontrolled) uncontrolled << Escaped(point.name);
    if (!uncontrolled.isEmpty()) verdict += QStringLiteral("; 不受检核的点 (多余观测分量≈0): ") + uncontrolled.join(", ");
    row(QStringLiteral("结论"), QStringLiteral("<b>") + verdict + QStringLiteral("</b>"));
    html += QStringLiteral("</table>");

    html += QStringLiteral("<h3>参数</h3><table border=\"1\" cellspacing=\"0\" cellpadding=\"3\"><tr><th>参数</th><th>值</th><th>中误差</th><th>单位</th></tr>");
    for (const ParameterPrecision& p : report.parameters)
        html += QStringLiteral("<tr><td>") + Escaped(p.name) + QStringLiteral("</td><td>") + Escaped(p.text) +
                QStringLiteral("</td><td>") + (p.sigma ? QStringLiteral("± ") + Figure(*p.sigma, 6) : QStringLiteral("—")) +
                QStringLiteral("</td><td>") + Escaped(p.unit) + QStringLiteral("</td></tr>");
    html += QStringLiteral("</table>");

    if (!report.correlation.empty()) {
        html += QStringLiteral("<h3>参数相关系数</h3><table border=\"1\" cellspacing=\"0\" cellpadding=\"3\"><tr><th></th>");
        for (const std::string& name : report.correlation_names) html += QStringLiteral("<th>") + Escaped(name) + QStringLiteral("</th>");
        html += QStringLiteral("</tr>");
        for (std::size_t i = 0; i < report.correlation.size(); ++i) {
            html += QStringLiteral("<tr><th>") + Escaped(report.correlation_names[i]) + QStringLiteral("</th>");
            for (const long double value : report.correlation[i]) {
                const double shown = std::fabs(value) < 0.0005L ? 0.0 : static_cast<double>(value);  // no "-0.000"
                html += QStringLiteral("<td align=\"right\">") + QString::number(shown, 'f', 3) + QStringLiteral("</td>");
            }
            html += QStringLiteral("</tr>");
        }
        html += QStringLiteral("</table>");
    }

    return html;
}

// The point table's cells as the report shows them: the header, then one
// row per point with its flag (red: flagged or the suspected outlier).
struct PointTableRows {
    QStringList header;
    std::vector<QStringList> rows;
    std::vector<bool> flagged;
};

PointTableRows PointTable(const PrecisionReport& report) {
    const ReportDescription& d = report.description;
    PointTableRows table;
    table.header << QStringLiteral("点号") << QStringLiteral("采用");
    for (const std::string& title : report.residual_titles) table.header << Q(title);
    table.header << QStringLiteral("可用") << QStringLiteral("v (") + Q(d.observation_unit) + QStringLiteral(")")
                 << QStringLiteral("多余观测分量 r") << QStringLiteral("标准化残差 w") << QStringLiteral("检验值");
    const auto joined = [](const auto& values, auto format) {
        QStringList parts;
        for (const auto& value : values) parts << format(value);
        return parts.join(" / ");
    };
    for (const PointPrecision& point : report.points) {
        table.flagged.push_back(Flagged(point) || (report.suspected_outlier && *report.suspected_outlier == point.name));
        QStringList cells;
        cells << Q(point.name) << (point.adopted ? QStringLiteral("是") : QStringLiteral("检核"));
        for (const std::string& cell : point.residuals) cells << Q(cell);
        cells << Q(point.usable);
        if (point.adopted && report.solved) {
            cells << joined(point.v, [](long double v) { return Figure(v); })
                  << joined(point.r, [](long double r) { return QString::number(static_cast<double>(r), 'f', 2); })
                  << joined(point.w, [](const std::optional<long double>& w) { return OptionalFigure(w, 2); })
                  << (point.t_unbounded
                          ? QStringLiteral("∞")
                          : joined(point.t, [](const std::optional<long double>& t) { return OptionalFigure(t, 2); }));
        } else {
            cells << QStringLiteral("—") << QStringLiteral("—") << QStringLiteral("—") << QStringLiteral("—");
        }
        table.rows.push_back(cells);
    }
    return table;
}

// The point table as HTML: residual cells right-aligned, the rest plain.
QString PointTableHtml(const PrecisionReport& report) {
    const PointTableRows table = PointTable(report);
    const int residual_count = static_cast<int>(report.residual_titles.size());
    QString html = QStringLiteral("<h3>公共点</h3><table border=\"1\" cellspacing=\"0\" cellpadding=\"3\"><tr>");
    for (int col = 0; col < table.header.size(); ++col) {
        const bool escaped_title = col >= 2 && col < 2 + residual_count;
        html += QStringLiteral("<th>") + (escaped_title || col == 2 + residual_count + 1 ? table.header[col].toHtmlEscaped() : table.header[col]) +
                QStringLiteral("</th>");
    }
    html += QStringLiteral("</tr>");
    for (std::size_t row = 0; row < table.rows.size(); ++row) {
        const QStringList& cells = table.rows[row];
        html += table.flagged[row] ? QStringLiteral("<tr style=\"color: red\">") : QStringLiteral("<tr>");
        for (int col = 0; col < cells.size(); ++col) {
            const bool residual = col >= 2 && col < 2 + residual_count;
            const bool escaped = col == 0 || residual || col == 2 + residual_count;
            html += (residual ? QStringLiteral("<td align=\"right\">") : QStringLiteral("<td>")) +
                    (escaped ? cells[col].toHtmlEscaped() : cells[col]) + QStringLiteral("</td>");
        }
        html += QStringLiteral("</tr>");
    }
    return html;
}

// The HTML after the point table: the note on w and the test values, the plot.
QString BackHtml(const QString& plot_source) {
    QString html;
    html += QStringLiteral("</table><p>w = v / (σ0 √r); 检验值: 以其余点的σ0计算的学生化残差, 换算为同概率的正态分位数, 与临界值比较。</p>");
    html += QStringLiteral("<h3>残差图</h3><p><img src=\"") + plot_source + QStringLiteral("\" width=\"640\" height=\"480\"></p>");
    html += QStringLiteral("</body></html>");
    return html;
}

}  // namespace

QString PrecisionReportHtml(const PrecisionReport& report, const QString& plot_source) {
    return FrontHtml(report) + PointTableHtml(report) + BackHtml(plot_source);
}


std::string PrecisionReportHtmlFile(const PrecisionReport& report) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ResidualPlotImage(report, 1280, 960).save(&buffer, "PNG");
    const QString html = PrecisionReportHtml(report, QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64()));
    return html.toStdString();
}

namespace {

// Paints `document` from `top` (pixels down the current page) when it fits
// there, otherwise from a new page, page by page. Returns where it ended on
// its last page.
double PaintDocument(QPdfWriter& pdf, QPainter& painter, QTextDocument& document, const QRectF& page, double top) {
    document.setPageSize(QSizeF(page.width(), -1));  // one long page: the height it needs
    const double height = document.size().height();
    if (top + height <= page.height()) {
        painter.save();
        painter.translate(page.left(), page.top() + top);
        document.drawContents(&painter, QRectF(0, 0, page.width(), height));
        painter.restore();
        return top + height;
    }
    if (top > 0) pdf.newPage();
    document.setPageSize(page.size());
    const int pages = document.pageCount();
    for (int k = 0; k < pages; ++k) {
        if (k > 0) pdf.newPage();
        painter.save();
        painter.translate(page.left(), page.top() - k * page.height());
        document.drawContents(&painter, QRectF(0, k * page.height(), page.width(), page.height()));
        painter.restore();
    }
    const QRectF last = document.documentLayout()->blockBoundingRect(document.lastBlock());
    return last.bottom() - (pages - 1) * page.height();
}

// Paints the point table from `top` on the current page (from a new page
// when three rows do not fit there), the header row on each page, the
// columns as wide as their widest text (the font made smaller when the
// table would not fit the page's width). Returns where it ended.
double PaintPointTable(QPdfWriter& pdf, QPainter& painter, const PointTableRows& table, int residual_count,
                       const QRectF& page, double top) {
    QFont font(QStringLiteral("sans-serif"));
    font.setPointSizeF(8);
    painter.setFont(font);
    const int columns = static_cast<int>(table.header.size());
    std::vector<double> widths(static_cast<std::size_t>(columns), 0);
    {
        const QFontMetricsF metrics(painter.font());
        for (int col = 0; col < columns; ++col)
            widths[static_cast<std::size_t>(col)] = metrics.horizontalAdvance(table.header[col]);
        for (const QStringList& row : table.rows)
            for (int col = 0; col < columns && col < row.size(); ++col)
                widths[static_cast<std::size_t>(col)] =
                    std::max(widths[static_cast<std::size_t>(col)], metrics.horizontalAdvance(row[col]));
    }
    const double padding = QFontMetricsF(painter.font()).height() * 0.3;
    double total = 0;
    for (double& width : widths) total += width += 2 * padding;
    if (total > page.width()) {
        const double shrink = page.width() / total;
        font.setPointSizeF(std::max(4.0, 8 * shrink));
        painter.setFont(font);
        for (double& width : widths) width *= shrink;
        total = page.width();
    }
    const QFontMetricsF metrics(painter.font());
    const double row_height = metrics.height() * 1.5;
    if (top + 3 * row_height > page.height()) {
        pdf.newPage();
        top = 0;
    }
    const QPen black(Qt::black, 1);
    const QPen red(Qt::red, 1);

    const auto paint_row = [&](const QStringList& cells, double top, bool header) {
        double left = page.left();
        for (int col = 0; col < columns && col < cells.size(); ++col) {
            const double width = widths[static_cast<std::size_t>(col)];
            const bool right = !header && col >= 2 && col < 2 + residual_count;
            painter.drawText(QRectF(left + padding, top, width - 2 * padding, row_height),
                             Qt::AlignVCenter | (header ? Qt::AlignHCenter : right ? Qt::AlignRight : Qt::AlignLeft),
                             cells[col]);
            left += width;
        }
    };
    std::size_t first = 0;
    double bottom = top;
    while (first < table.rows.size()) {
        if (first > 0) {
            pdf.newPage();
            top = 0;
        }
        const std::size_t fit = std::max<std::size_t>(1, static_cast<std::size_t>((page.height() - top) / row_height) - 1);
        const std::size_t last = std::min(table.rows.size(), first + fit);
        const double y0 = page.top() + top;
        painter.setPen(black);
        font.setBold(true);
        painter.setFont(font);
        paint_row(table.header, y0, true);
        font.setBold(false);
        painter.setFont(font);
        for (std::size_t row = first; row < last; ++row) {
            painter.setPen(table.flagged[row] ? red : black);
            paint_row(table.rows[row], y0 + row_height * static_cast<double>(row - first + 1), false);
        }
        // The grid: a line under every row, a line beside every column.
        painter.setPen(black);
        const double y1 = y0 + row_height * static_cast<double>(last - first + 1);
        for (std::size_t line = 0; line <= last - first + 1; ++line) {
            const double y = y0 + row_height * static_cast<double>(line);
            painter.drawLine(QPointF(page.left(), y), QPointF(page.left() + total, y));
        }
        double x = page.left();
        painter.drawLine(QPointF(x, y0), QPointF(x, y1));
        for (const double width : widths) {
            x += width;
            painter.drawLine(QPointF(x, y0), QPointF(x, y1));
        }
        bottom = y1 - page.top() + row_height / 2;
        first = last;
    }
    return bottom;
}

}  // namespace

std::string PrecisionReportPdf(const PrecisionReport& report) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setResolution(150);
        pdf.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
        pdf.setTitle(Q(report.description.caption) + QStringLiteral(" 精度报告"));
        pdf.setCreator(QStringLiteral("coordconv"));
        QPainter painter(&pdf);
        const QRectF page(QPointF(0, 0), QSizeF(pdf.width(), pdf.height()));

        QTextDocument front;
        front.documentLayout()->setPaintDevice(&pdf);
        front.setHtml(FrontHtml(report) + QStringLiteral("<h3>公共点</h3></body></html>"));
        double top = PaintDocument(pdf, painter, front, page, 0);

        if (!report.points.empty())
            top = PaintPointTable(pdf, painter, PointTable(report), static_cast<int>(report.residual_titles.size()), page, top);

        QTextDocument back;
        back.documentLayout()->setPaintDevice(&pdf);
        back.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("plot.png")), ResidualPlotImage(report, 1280, 960));
        back.setHtml(QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body style=\"font-family: sans-serif\">") +
                     BackHtml(QStringLiteral("plot.png")).mid(QStringLiteral("</table>").size()));
        PaintDocument(pdf, painter, back, page, top);
    }
    return bytes.toStdString();
}

std::string PrecisionReportFileBytes(const std::string& path, const PrecisionReport& report) {
    const QString suffix = Q(path).section('.', -1).toLower();
    std::string bytes;
    if (suffix == "json") {
        bytes = PrecisionReportJson(report);
    } else if (suffix == "html" || suffix == "htm") {
        EnsureGuiApplication();
        bytes = PrecisionReportHtmlFile(report);
    } else if (suffix == "pdf") {
        EnsureGuiApplication();
        bytes = PrecisionReportPdf(report);
    } else {
        throw CommandError("精度报告的文件名须以 .pdf, .html 或 .json 结尾: " + path);
    }
    return bytes;
}

void WritePrecisionReport(const std::string& path, const PrecisionReport& report) {
    const std::string bytes = PrecisionReportFileBytes(path, report);
    SafeFileWriter file(path);
    file.Write(bytes);
    file.Commit();
}

void EnsureGuiApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The toolkit's own notes (no runtime folder, ...) are not the command's output.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    });
    static int argc = 1;
    static char name[] = "coordconv";
    static char* argv[] = {name, nullptr};
    // Never destroyed: it must outlive every font and document of the run.
    static QGuiApplication* const application = new QGuiApplication(argc, argv);
    (void)application;
}

}  // namespace coordconv
