// libvips cutting the same wall, for comparison: the picture shrunk on load by the
// largest of 1, 2, 4 and 8 that keeps every tile at full resolution (JPEG only), each
// region cropped and resized to SIDE × SIDE with libvips' defaults (Lanczos-3), saved as
// JPEG quality 95, or as PNG with a fifth argument "png".
//   tk_vipscut PICTURE SIDE FOLDER REGIONS [png]
// REGIONS holds a line of "x y width height" picture fractions a tile (tk_bench regions).
#include <vips/vips.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Region {
    double x, y, width, height;
};

int fail(const char *what)
{
    std::fprintf(stderr, "tk_vipscut: %s: %s\n", what, vips_error_buffer());
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (VIPS_INIT(argv[0]) || argc < 5)
        return 2;
    const char *picture = argv[1];
    const int side = std::atoi(argv[2]);
    const bool png = argc > 5 && std::strcmp(argv[5], "png") == 0;
    std::vector<Region> regions;
    if (FILE *file = std::fopen(argv[4], "r")) {
        for (Region r; std::fscanf(file, "%lf %lf %lf %lf", &r.x, &r.y, &r.width, &r.height) == 4;)
            regions.push_back(r);
        std::fclose(file);
    }
    if (side < 1 || regions.empty())
        return 2;

    VipsImage *header = vips_image_new_from_file(picture, nullptr);
    if (!header)
        return fail(picture);
    const double width = header->Xsize, height = header->Ysize;
    const bool jpeg = vips_isprefix("VipsForeignLoadJpeg", vips_foreign_find_load(picture));
    g_object_unref(header);
    int shrink = 1;
    for (const int s : {8, 4, 2}) {
        const bool enough = std::all_of(regions.begin(), regions.end(), [&](const Region &r) {
            return r.width * width / s >= side && r.height * height / s >= side;
        });
        if (jpeg && enough) {
            shrink = s;
            break;
        }
    }
    VipsImage *loaded = jpeg ? vips_image_new_from_file(picture, "shrink", shrink, nullptr)
                             : vips_image_new_from_file(picture, nullptr);
    if (!loaded)
        return fail(picture);
    // Decoded once, then every crop reads the pixels in memory.
    VipsImage *decoded = vips_image_copy_memory(loaded);
    g_object_unref(loaded);
    if (!decoded)
        return fail(picture);
    const int w = decoded->Xsize, h = decoded->Ysize;
    for (size_t i = 0; i < regions.size(); ++i) {
        const Region &r = regions[i];
        const int left = int(std::lround(r.x * w)), top = int(std::lround(r.y * h));
        const int right = std::min(w, int(std::lround((r.x + r.width) * w)));
        const int bottom = std::min(h, int(std::lround((r.y + r.height) * h)));
        VipsImage *crop = nullptr, *tile = nullptr;
        if (vips_extract_area(decoded, &crop, left, top, right - left, bottom - top, nullptr) ||
            vips_resize(crop, &tile, double(side) / (right - left), "vscale",
                        double(side) / (bottom - top), nullptr))
            return fail("resize");
        const std::string path =
            std::string(argv[3]) + "/" + std::to_string(i + 1) + (png ? ".png" : ".jpg");
        if (png ? vips_pngsave(tile, path.c_str(), nullptr)
                : vips_jpegsave(tile, path.c_str(), "Q", 95, nullptr))
            return fail(path.c_str());
        g_object_unref(tile);
        g_object_unref(crop);
    }
    g_object_unref(decoded);
    vips_shutdown();
    return 0;
}
