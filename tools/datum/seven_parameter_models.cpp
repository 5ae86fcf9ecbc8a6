#include "tools/datum/seven_parameter_models.h"

#include "tools/datum/bursa_wolf.h"
#include "tools/datum/bursa_wolf_proj.h"
#include "tools/datum/seven_2d.h"
#include "tools/datum/seven_3d.h"

namespace coordconv {
namespace {

// The solve of a model whose fields are `Fields`, on parameter texts.
template <typename Fields>
FitResult<std::vector<std::string>> AsTexts(FitResult<Fields> fit, std::vector<std::string> (*lines)(const Fields&)) {
    return {lines(fit.fields), std::move(fit.outcome)};
}

}  // namespace

const SevenParameterModel kBursaWolfModel = {
    kBursaWolfCaption, kSevenParameterCount, 4, BursaWolfLayout,
    [](const DatumFields& settings, const std::vector<std::string>& parameters) {
        return BursaWolfConversion(settings, SevenParameterFieldsFromLines(parameters));
    },
    [](const DatumFields& settings, const std::vector<std::string>& parameters, PointTable& grid) {
        return AsTexts(SolveBursaWolf(settings, SevenParameterFieldsFromLines(parameters), grid), SevenParameterLines);
    },
    [](const DatumFields& settings, const std::vector<std::string>& parameters) {
        return BursaWolfProjExport(settings, SevenParameterFieldsFromLines(parameters));
    },
    [](const DatumFields& settings, const std::vector<std::string>& parameters) {
        return BursaWolfPointConversion(settings, SevenParameterFieldsFromLines(parameters));
    }};

const SevenParameterModel kSeven3dModel = {
    kSeven3dCaption, kSevenParameterCount, 4, Seven3dLayout,
    [](const DatumFields& settings, const std::vector<std::string>& parameters) {
        return Seven3dConversion(settings, SevenParameterFieldsFromLines(parameters));
    },
    [](const DatumFields& settings, const std::vector<std::string>& parameters, PointTable& grid) {
        return AsTexts(SolveSeven3d(settings, SevenParameterFieldsFromLines(parameters), grid), SevenParameterLines);
    },
    nullptr,
    [](const DatumFields& settings, const std::vector<std::string>& parameters) {
        return Seven3dPointConversion(settings, SevenParameterFieldsFromLines(parameters));
    }};

const SevenParameterModel kSeven2dModel = {
    kSeven2dCaption, kSeven2dParameterCount, kSeven2dSavedResultColumns, Seven2dLayout,
    [](const DatumFields& settings, const std::vector<std::string>& parameters) {
        return Seven2dConversion(settings, Seven2dFieldsFromLines(parameters));
    },
    [](const DatumFields& settings, const std::vector<std::string>& parameters, PointTable& grid) {
        return AsTexts(SolveSeven2d(settings, Seven2dFieldsFromLines(parameters), grid), Seven2dParameterLines);
    },
    nullptr,
    [](const DatumFields& settings, const std::vector<std::string>& parameters) {
        return Seven2dPointConversion(settings, Seven2dFieldsFromLines(parameters));
    }};

}  // namespace coordconv
