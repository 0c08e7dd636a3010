#include "tiles/preview.h"

namespace tk {

PreviewAction previewAction(bool pictureLoaded, int checkValue)
{
    const bool ticked = checkValue == 1;
    if (pictureLoaded)
        return ticked ? PreviewAction::ShowLines : PreviewAction::HideLines;
    // Unticking without a picture leaves any lines that are showing where they are.
    return ticked ? PreviewAction::RefuseAndUntick : PreviewAction::Nothing;
}

} // namespace tk
