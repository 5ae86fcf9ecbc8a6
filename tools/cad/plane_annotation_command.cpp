#include "tools/cad/plane_annotation_command.h"

#include "tools/cad/annotation.h"

namespace coordconv {

void RunPlaneAnnotationCommand(UserDialogs& dialogs, const CadAttach& attach) {
    if (AnnotatePlane(attach) == CadCommandOutcome::kCadNotRunning)
        dialogs.ShowMessageWithButton(kPlaneAnnotationTitle, kCadNotRunningText, MessageIcon::None,
                                      MessageButton::Ok);
}

}  // namespace coordconv
