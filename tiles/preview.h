#pragma once

namespace tk {

// What the preview check box does on a click, given whether a picture is loaded
// and the box's value (only 1 counts as ticked).
enum class PreviewAction { ShowLines, HideLines, RefuseAndUntick, Nothing };

PreviewAction previewAction(bool pictureLoaded, int checkValue);

} // namespace tk
