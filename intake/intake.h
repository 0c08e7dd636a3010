#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

namespace tk {

class Canvas;
class PictureReader;

// The folder part of `path`, up to and including its last separator; empty when
// the path has none. Tile names are appended to it as they are.
QString folderOf(const QString &path);

// The pixel size the picture is decoded at for a preview of this outer size (twips).
QSize previewDecodeSize(float outerWidth, float outerHeight);

// Decodes the picture and draws it stretched over the preview's outer size (twips),
// starting at the inner area's corner, so the strips under the frame on the right and
// at the bottom fall outside `preview` and are dropped. The decoder scales straight to
// that size. Throws tk::Error when the file is no usable picture; the preview is left
// untouched then.
//
// For a screen with `ratio` device pixels per logical pixel (other than 1), the same
// decode also gives what the screen shows: the picture at the device pixels of the
// outer size, its device pixel ratio set; else a null image. What is cut stays the
// preview, the same at every ratio.
QImage loadIntoPreview(Canvas &preview, float outerWidth, float outerHeight,
                       PictureReader &reader, qreal ratio = 1.0);
QImage loadIntoPreview(Canvas &preview, float outerWidth, float outerHeight,
                       const QString &path, qreal ratio = 1.0);

// Where a picture of `picture` pixels shows whole and undistorted in a preview whose
// inner area is `inner` pixels: centred, on whole pixels.
QRect fittedPlacement(QSize picture, QSize inner);

// Decodes the picture and draws it whole and undistorted into `preview`, at its fitted
// placement, the rest of the preview in its back colour. For a screen with `ratio` device
// pixels per logical pixel (other than 1), also returns the same preview at the device
// pixels, its device pixel ratio set; else a null image. Throws tk::Error as above.
QImage loadFittedIntoPreview(Canvas &preview, PictureReader &reader, qreal ratio = 1.0);

} // namespace tk
