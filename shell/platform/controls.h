#pragma once

class QRect;
class QWidget;

namespace tk {

// Places a plain control by its outer rectangle in the container's twips.
void placeControl(QWidget *control, float left, float top, float width, float height);
// Moves a window (or a child) to the middle of `area`, in its parent's coordinates.
void centreIn(QWidget *widget, const QRect &area);

} // namespace tk
