// The precision report as people read it: the residual plot drawn with
// QPainter, the report as HTML (the plot embedded) and as a PDF page set from
// the same HTML, and the writer that picks the form by the file's extension.
// Needs a QGuiApplication (fonts); EnsureGuiApplication makes an offscreen
// one for programs without a display.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <string>

#include "fitting/precision_report.h"

namespace coordconv {

// The common points at their source positions (north up; plane x, y or
// geodetic B, L as the program names them), an arrow per point for its
// horizontal residual at an exaggerated scale with a scale bar, the height
// residual as a signed vertical bar beside the point, adopted points as
// filled discs and check points as open squares, points flagged "No" in
// red, the suspected outlier ringed.
void DrawResidualPlot(QPainter& painter, const QRectF& area, const PrecisionReport& report);
QImage ResidualPlotImage(const PrecisionReport& report, int width, int height);

// The report's HTML: settings, the summary and verdict, the parameters
// with their sigmas, the correlation matrix, the point table with r, w and
// the test values, the accuracy line and the plot at `plot_source` (a file
// name, a resource name or a data: URL).
QString PrecisionReportHtml(const PrecisionReport& report, const QString& plot_source);

// A whole HTML file with the plot embedded as a PNG data URL.
std::string PrecisionReportHtmlFile(const PrecisionReport& report);
// A PDF (A4) of the report, as bytes: the HTML's parts before and after the
// point table laid out by Qt's text document, the point table itself painted
// row by row, its header on every page (Qt's text layout walks a whole table
// for every page it paints: 20,000 points took a minute and 437 MB).
std::string PrecisionReportPdf(const PrecisionReport& report);

// The bytes of the report's file `path` by its extension: .pdf, .html (or
// .htm) or .json; any other extension is a CommandError.
std::string PrecisionReportFileBytes(const std::string& path, const PrecisionReport& report);
// Writes those bytes to `path`, atomically.
void WritePrecisionReport(const std::string& path, const PrecisionReport& report);

// A QGuiApplication for a program that has none (the offscreen platform
// unless another is set); does nothing when an application exists.
void EnsureGuiApplication();

}  // namespace coordconv
