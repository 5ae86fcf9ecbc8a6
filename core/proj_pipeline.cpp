#include "core/proj_pipeline.h"

#include "core/number_text.h"

namespace coordconv {

std::string ProjPipeline(const std::vector<std::string>& steps) {
    std::string text = "+proj=pipeline";
    for (const std::string& step : steps) text += " +step " + step;
    return text;
}

std::string ProjEllipsoid(long double a, long double f) {
    return "+a=" + ShortestDoubleText(a) + " +rf=" + ShortestDoubleText(1 / f);
}

std::string ProjGaussKruger(long double a, long double f, long double central_meridian, long double false_easting) {
    return "+proj=tmerc +lat_0=0 +lon_0=" + ShortestDoubleText(central_meridian) + " +k=1 +x_0=" +
           ShortestDoubleText(false_easting) + " +y_0=0 " + ProjEllipsoid(a, f);
}

void RequirePositiveScaleFactor(const std::string& name, long double factor) {
    if (factor > 0) return;
    throw NotExportableError("尺度因子" + name + "=" + ShortestDoubleText(factor) +
                             "不大于零, 不是可用的转换, 未导出。请检查尺度参数。");
}

}  // namespace coordconv
