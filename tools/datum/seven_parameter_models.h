// The three datum models whose parameters are the seven Tx, Ty, Tz,
// Rx, Ry, Rz, D (the two-dimensional one with the height change dH as an eighth), as the
// windows and coordconv-cli drive them: the parameters are their texts
// in parameter-file order, so one window and one command serve all three.
#pragma once

#include <string>
#include <vector>

#include "fitting/common_points.h"
#include "table/row_conversion.h"
#include "tools/datum/datum_settings.h"

namespace coordconv {

struct SevenParameterModel {
    const char* caption;
    int parameter_count;       // 7, or 8 with dH
    int saved_result_columns;  // columns of the result table that "数据另存" writes
    CommonPointLayout (*layout)();
    // "转换计算" with the parameter texts.
    RowConversion (*conversion)(const DatumFields& settings, const std::vector<std::string>& parameters);
    // "解算七参数": the parameter texts as the command left them, and the outcome.
    FitResult<std::vector<std::string>> (*solve)(const DatumFields& settings,
                                                 const std::vector<std::string>& parameters, PointTable& grid);
    // The conversion as a PROJ pipeline (comment lines, then the pipeline);
    // null for the differential models, which PROJ cannot express exactly.
    std::string (*proj_export)(const DatumFields& settings, const std::vector<std::string>& parameters);
    // The conversion as numbers (for whole drawings and layers).
    PointConversion (*point_conversion)(const DatumFields& settings, const std::vector<std::string>& parameters);
};

extern const SevenParameterModel kBursaWolfModel;  // 椭球变换--布尔沙模型
extern const SevenParameterModel kSeven3dModel;    // 椭球变换--三维七参数模型
extern const SevenParameterModel kSeven2dModel;    // 椭球变换--二维七参数模型

}  // namespace coordconv
