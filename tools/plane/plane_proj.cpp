#include "tools/plane/plane_proj.h"

#include <vector>

#include "core/errors.h"
#include "core/number_text.h"
#include "core/proj_pipeline.h"

namespace coordconv {
namespace {

constexpr const char* kPlaneColumns = "# 输入与输出: x(北), y(东), H(m), 与本程序表格相同的数值\n";

std::string HeightShiftStep(long double dH) { return "+proj=affine +zoff=" + ShortestDoubleText(dH); }

// The program's term index of p^i q^j (i + j <= 3): 1, p, q, pq, p^2, q^2,
// p^2 q, p q^2, p^3, q^3.
int TermIndex(int i, int j) {
    static constexpr int kIndex[4][4] = {{0, 2, 5, 9}, {1, 3, 7, -1}, {4, 6, -1, -1}, {8, -1, -1, -1}};
    return kIndex[i][j];
}

// horner's coefficient list of one output, `identity_term` gaining 1. The
// first output's list runs over the powers of the second input (outer) and
// of the first (inner); the second output's the other way round.
std::string HornerCoefficients(const Vector& c, std::size_t first, int degree, int identity_term, bool second_output) {
    std::string text;
    for (int outer = 0; outer <= degree; ++outer) {
        for (int inner = 0; inner + outer <= degree; ++inner) {
            const int term = second_output ? TermIndex(outer, inner) : TermIndex(inner, outer);
            long double value = c[first + static_cast<std::size_t>(term)];
            if (term == identity_term) value += 1;
            if (!text.empty()) text += ",";
            text += ShortestDoubleText(value);
        }
    }
    return text;
}

}  // namespace

std::string PlaneFourProjExport(const PlaneFourFields& fields) {
    const long double dx = TextToNumber(fields.dx);
    const long double dy = TextToNumber(fields.dy);
    const long double rotation = TextToNumber(fields.rotation);
    const long double scale = 1 + TextToNumber(fields.scale);
    const long double dH = TextToNumber(fields.height_shift);
    RaiseFloatingPointErrors();
    RequirePositiveScaleFactor("1+m", scale);
    const std::string helmert = "+proj=helmert +x=" + ShortestDoubleText(dy) + " +y=" + ShortestDoubleText(dx) +
                                " +theta=" + ShortestDoubleText(rotation) + " +s=" + ShortestDoubleText(scale);
    std::string text = "# 平面坐标转换--二维四参数模型 的PROJ管道 (cct, cs2cs, QGIS, GDAL, pyproj)\n";
    text += kPlaneColumns;
    text += "# dx=" + ShortestDoubleText(dx) + " dy=" + ShortestDoubleText(dy) + " (m), R=" +
            ShortestDoubleText(rotation) + "\" (x轴向y轴为正), m=" + ShortestDoubleText(scale - 1) +
            ", dH=" + ShortestDoubleText(dH) + " m\n";
    text += ProjPipeline({kProjSwapAxes, helmert, kProjSwapAxes, HeightShiftStep(dH)}) + "\n";
    return text;
}

std::string PolynomialProjExport(const PolynomialFields& fields, const CoefficientTable& coefficients) {
    if (fields.form != PolynomialForm::Plane) throw NotExportableError(kPolynomialGeodeticNotExported);
    const int term_count = PolynomialTermCount(fields.order_index);
    const int degree = fields.order_index + 1;
    const Vector c = coefficients.ReadValues(2 * term_count);
    const long double dH = TextToNumber(fields.height_shift);
    RaiseFloatingPointErrors();
    const std::size_t m = static_cast<std::size_t>(term_count);
    const std::string horner = "+proj=horner +deg=" + std::to_string(degree) +
                               " +range=1e9 +fwd_origin=0,0 +fwd_u=" + HornerCoefficients(c, 0, degree, 1, false) +
                               " +fwd_v=" + HornerCoefficients(c, m, degree, 2, true);
    std::string text = "# 坐标转换--二维多项式拟合模型 (" + PolynomialOrderNames()[static_cast<std::size_t>(fields.order_index)] +
                       ", 平面上拟合) 的PROJ管道, 仅正算 (cct, cs2cs, QGIS, GDAL, pyproj)\n";
    text += kPlaneColumns;
    text += ProjPipeline({horner, HeightShiftStep(dH)}) + "\n";
    return text;
}

}  // namespace coordconv
