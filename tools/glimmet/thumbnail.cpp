#include "thumbnail.h"

#include "ToolContract.h"
#include "image_export.h"
#include "jpeg_direct.h"
#include "scratch_formats.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace glimmet {

namespace {

using Raster = Thumbnail;

// The largest reduction the JPEG decoder offers that stays at least the
// thumbnail's size.
int jpegScale(int w, int h, int tw, int th) {
    for (int scale : {8, 4, 2})
        if ((w + scale - 1) / scale >= tw && (h + scale - 1) / scale >= th)
            return scale;
    return 1;
}

Raster jpegRaster(fz_context* c, fz_image* image, int tw, int th) {
    JpegRows rows(c, image, jpegScale(image->w, image->h, tw, th));
    Raster r{rows.width(), rows.height(), image->n, {}};
    r.samples.resize(static_cast<size_t>(r.w) * r.h * r.n);
    for (int y = 0; y < r.h; ++y)
        rows.next(r.samples.data() + static_cast<size_t>(y) * r.w * r.n);
    return r;
}

// Decoded pixels as gray or RGB, premultiplied transparency laid over white;
// a stencil (alpha alone) black where it paints.
Raster pixmapRaster(fz_context* c, fz_pixmap* pix) {
    tools::Pixmap converted;
    const int colours = pix->n - pix->alpha - pix->s;
    const bool gray = colours == 1 && pix->colorspace && fz_colorspace_is_gray(c, pix->colorspace);
    if (colours > 0 && !gray && !(colours == 3 && fz_colorspace_is_rgb(c, pix->colorspace))) {
        converted = tools::Pixmap(c, tools::guarded(c, [&] {
                                      return fz_convert_pixmap(c, pix, fz_device_rgb(c), nullptr,
                                                               nullptr, fz_default_color_params, 1);
                                  }));
        pix = converted.get();
    }
    const int n = colours == 0 || gray ? 1 : 3;
    Raster r{pix->w, pix->h, n, {}};
    r.samples.resize(static_cast<size_t>(r.w) * r.h * n);
    std::uint8_t* out = r.samples.data();
    for (int y = 0; y < pix->h; ++y) {
        const std::uint8_t* in = pix->samples + static_cast<std::ptrdiff_t>(y) * pix->stride;
        for (int x = 0; x < pix->w; ++x, in += pix->n) {
            const unsigned alpha = pix->alpha ? in[pix->n - 1] : 255;
            for (int k = 0; k < n; ++k)
                *out++ = colours == 0 ? static_cast<std::uint8_t>(255 - alpha)
                                      : static_cast<std::uint8_t>(in[k] + (255 - alpha));
        }
    }
    return r;
}

// Each pixel of the thumbnail the mean of the pixels it covers.
Raster reduce(Raster src, int tw, int th) {
    if (src.w == tw && src.h == th)
        return src;
    Raster dst{tw, th, src.n, std::vector<std::uint8_t>(static_cast<size_t>(tw) * th * src.n)};
    std::vector<unsigned> sums(static_cast<size_t>(tw) * src.n);
    for (int y = 0; y < th; ++y) {
        const int y0 = static_cast<int>(static_cast<long long>(y) * src.h / th);
        const int y1 =
            std::max(y0 + 1, static_cast<int>(static_cast<long long>(y + 1) * src.h / th));
        std::uint8_t* out = dst.samples.data() + static_cast<size_t>(y) * tw * src.n;
        for (int x = 0; x < tw; ++x) {
            const int x0 = static_cast<int>(static_cast<long long>(x) * src.w / tw);
            const int x1 =
                std::max(x0 + 1, static_cast<int>(static_cast<long long>(x + 1) * src.w / tw));
            for (int k = 0; k < src.n; ++k) {
                unsigned long long sum = 0;
                for (int sy = y0; sy < y1; ++sy) {
                    const std::uint8_t* row =
                        src.samples.data() + (static_cast<size_t>(sy) * src.w + x0) * src.n + k;
                    for (int sx = x0; sx < x1; ++sx, row += src.n)
                        sum += *row;
                }
                const auto count = static_cast<unsigned long long>(y1 - y0) * (x1 - x0);
                out[x * src.n + k] = static_cast<std::uint8_t>((sum + count / 2) / count);
            }
        }
    }
    return dst;
}

} // namespace

std::pair<int, int> thumbnailSize(int w, int h, int longest) {
    if (w <= 0 || h <= 0 || longest <= 0)
        return {1, 1};
    if (w <= longest && h <= longest)
        return {w, h};
    const double scale = static_cast<double>(longest) / std::max(w, h);
    return {std::max(1, static_cast<int>(std::lround(w * scale))),
            std::max(1, static_cast<int>(std::lround(h * scale)))};
}

Thumbnail makeThumbnail(tools::Context& ctx, fz_image* image, int longest) {
    fz_context* c = ctx.get();
    const auto [tw, th] = thumbnailSize(image->w, image->h, longest);
    if (canWriteJpegAsPnm(c, image))
        return reduce(jpegRaster(c, image, tw, th), tw, th);
    tools::Pixmap pix = decodeReduced(ctx, image, tw, th);
    return reduce(pixmapRaster(c, pix.get()), tw, th);
}

void writeThumbnail(const Thumbnail& thumbnail, ScratchNames& names) {
    const auto rows = [&](int y, std::uint8_t* row) {
        const size_t width = static_cast<size_t>(thumbnail.w) * thumbnail.n;
        std::memcpy(row, thumbnail.samples.data() + y * width, width);
    };
    names.write(thumbnail.n == 1 ? contract::kGray : contract::kStoredAsJpeg,
                [&](ScratchOutput& out) {
                    if (thumbnail.n == 1)
                        writePgm(out, thumbnail.w, thumbnail.h, rows);
                    else
                        writePpm(out, thumbnail.w, thumbnail.h, rows);
                });
}

} // namespace glimmet
