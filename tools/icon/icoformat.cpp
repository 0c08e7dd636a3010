#include "icoformat.h"

#include <QtEndian>
#include <algorithm>
#include <array>
#include <vector>

namespace tk {

namespace {

using Colours = std::vector<QRgb>;

// Median cut: split the box with the widest channel range at its median until there
// are 256 boxes; each box's average is one palette colour.
std::vector<QRgb> palette(const Colours &colours)
{
    std::vector<Colours> boxes{colours};
    const auto channel = [](QRgb c, int k) {
        return k == 0 ? qRed(c) : k == 1 ? qGreen(c) : qBlue(c);
    };
    const auto widest = [&](const Colours &box, int &range) {
        int best = 0;
        range = -1;
        for (int k = 0; k < 3; ++k) {
            const auto [lo, hi] = std::minmax_element(box.begin(), box.end(), [&](QRgb a, QRgb b) {
                return channel(a, k) < channel(b, k);
            });
            if (channel(*hi, k) - channel(*lo, k) > range) {
                range = channel(*hi, k) - channel(*lo, k);
                best = k;
            }
        }
        return best;
    };
    while (boxes.size() < 256) {
        int split = -1, bestRange = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            int range = 0;
            widest(boxes[i], range);
            if (boxes[i].size() > 1 && range > bestRange) {
                bestRange = range;
                split = int(i);
            }
        }
        if (split < 0)
            break;
        Colours &box = boxes[std::size_t(split)];
        int range = 0;
        const int k = widest(box, range);
        std::sort(box.begin(), box.end(),
                  [&](QRgb a, QRgb b) { return channel(a, k) < channel(b, k); });
        Colours upper(box.begin() + std::ptrdiff_t(box.size() / 2), box.end());
        box.resize(box.size() / 2);
        boxes.push_back(std::move(upper));
    }
    std::vector<QRgb> result;
    for (const Colours &box : boxes) {
        std::array<long, 3> sum{};
        for (QRgb c : box) {
            sum[0] += qRed(c);
            sum[1] += qGreen(c);
            sum[2] += qBlue(c);
        }
        const long n = long(box.size());
        result.push_back(
            qRgb(int((sum[0] + n / 2) / n), int((sum[1] + n / 2) / n), int((sum[2] + n / 2) / n)));
    }
    result.resize(256, qRgb(0, 0, 0));
    return result;
}

int nearest(const std::vector<QRgb> &colours, QRgb c)
{
    int best = 0, bestDistance = INT32_MAX;
    for (int i = 0; i < int(colours.size()); ++i) {
        const int dr = qRed(c) - qRed(colours[std::size_t(i)]);
        const int dg = qGreen(c) - qGreen(colours[std::size_t(i)]);
        const int db = qBlue(c) - qBlue(colours[std::size_t(i)]);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

void put16(QByteArray &out, int v)
{
    out.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}

void put32(QByteArray &out, int v)
{
    put16(out, v & 0xFFFF);
    put16(out, (v >> 16) & 0xFFFF);
}

} // namespace

QByteArray indexedIco(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width(), h = image.height();
    Colours opaque;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (qAlpha(image.pixel(x, y)) >= 128)
                opaque.push_back(image.pixel(x, y) | 0xFF000000u);
        }
    }
    const std::vector<QRgb> colours = palette(opaque.empty() ? Colours{qRgb(0, 0, 0)} : opaque);

    // Rows bottom-up, each padded to four bytes; the mask has one bit per pixel.
    const int xorStride = (w + 3) / 4 * 4, andStride = (w + 31) / 32 * 4;
    QByteArray pixels(xorStride * h, '\0'), mask(andStride * h, '\0');
    for (int y = 0; y < h; ++y) {
        const int row = h - 1 - y;
        for (int x = 0; x < w; ++x) {
            const QRgb c = image.pixel(x, y);
            if (qAlpha(c) >= 128)
                pixels[row * xorStride + x] = char(nearest(colours, c));
            else
                mask[row * andStride + x / 8] =
                    char(mask[row * andStride + x / 8] | (0x80 >> (x % 8)));
        }
    }

    QByteArray bitmap;
    put32(bitmap, 40);
    put32(bitmap, w);
    put32(bitmap, 2 * h); // the colour rows and the mask rows
    put16(bitmap, 1);
    put16(bitmap, 8);
    put32(bitmap, 0);
    put32(bitmap, pixels.size() + mask.size());
    put32(bitmap, 0);
    put32(bitmap, 0);
    put32(bitmap, 256);
    put32(bitmap, 0);
    for (QRgb c : colours)
        bitmap.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append('\0');
    bitmap += pixels + mask;

    QByteArray ico;
    put16(ico, 0);
    put16(ico, 1);                                     // an icon
    put16(ico, 1);                                     // one image
    ico.append(char(w & 0xFF)).append(char(h & 0xFF)); // 256 is written as 0
    ico.append('\0').append('\0');                     // 0 colours means 256 here; reserved
    put16(ico, 1);
    put16(ico, 8);
    put32(ico, bitmap.size());
    put32(ico, 6 + 16);
    return ico + bitmap;
}

} // namespace tk
