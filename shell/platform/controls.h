#pragma once

class QWidget;

namespace tk {

// Places a plain control by its outer rectangle in the container's twips.
void placeControl(QWidget *control, float left, float top, float width, float height);

} // namespace tk
