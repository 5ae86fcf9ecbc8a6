#include "tools/cad/sheet_point_pick.h"

#include "core/number_text.h"

namespace coordconv {

std::optional<PickedPlaneTexts> PickSheetPoint(const CadAttach& attach) {
    const std::unique_ptr<CadAutomation> cad = attach();
    if (!cad) return std::nullopt;
    cad->SetVisible(true);
    const CadObject document = cad->ActiveDocument();
    const CadObject utility = cad->Utility(document);
    const CadPoint picked = cad->GetPoint(utility, kPickSheetPointPrompt);
    return PickedPlaneTexts{FormatGeneral(picked.y), FormatGeneral(picked.x)};
}

}  // namespace coordconv
