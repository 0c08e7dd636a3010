#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

namespace tk {

class Canvas;
class PictureReader;

// The preview box: its outer size in twips and the frame around its inner area.
constexpr float PreviewWidth = 6000.0f;
constexpr float PreviewHeight = 3000.0f;
constexpr int PreviewFramePixels = 2;
// What shows where a picture is transparent; the window and the cutter agree on it.
inline QColor previewBackColour()
{
    return QColor(0xF0, 0xF0, 0xF0);
}

// The folder part of `path`, up to and including its last separator; empty when
// the path has none. Tile names are appended to it as they are.
QString folderOf(const QString &path);

// The pixel size the picture is decoded at for a preview of this outer size (twips).
QSize previewDecodeSize(float outerWidth, float outerHeight);

// Decodes the picture at `path` and draws it stretched over the preview's outer size
// (twips), starting at the inner area's corner, so the strips under the frame on the
// right and at the bottom fall outside `preview` and are dropped. The decoder scales
// straight to that size. Throws tk::Error when the file is no usable picture; the
// preview is left untouched then.
void loadIntoPreview(Canvas &preview, float outerWidth, float outerHeight, const QString &path);
void loadIntoPreview(Canvas &preview, float outerWidth, float outerHeight, PictureReader &reader);

// The same picture for showing on a screen with `ratio` device pixels per logical pixel:
// decoded at the device pixels of the preview's outer size, its device pixel ratio set.
// What is cut stays the preview above; this only makes the screen sharp.
QImage previewRendering(const QString &path, float outerWidth, float outerHeight, qreal ratio);
QImage previewRendering(PictureReader &reader, float outerWidth, float outerHeight, qreal ratio);

} // namespace tk
