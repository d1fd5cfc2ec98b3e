#include "pixel_digest.h"

#include "Sha256.h"
#include "jpeg_direct.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace glimmet {

namespace {

void addShape(digest::Sha256& sha, int w, int h, int n, int alpha, int s) {
    const int shape[] = {w, h, n, alpha, s};
    sha.Add(shape, sizeof shape);
}

// Rows straight from the JPEG: no copy of the whole picture, and half the
// time of MuPDF's filter chain.
std::string jpegDigest(fz_context* c, fz_image* image) {
    JpegRows jpeg(c, image);
    digest::Sha256 sha;
    addShape(sha, jpeg.width(), jpeg.height(), image->n, 0, 0);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(jpeg.width()) * image->n);
    for (int y = 0; y < jpeg.height(); ++y) {
        jpeg.next(row.data());
        sha.Add(row.data(), row.size());
    }
    return sha.Hex();
}

std::string decodedDigest(fz_context* c, fz_image* image) {
    tools::Pixmap pix(c, tools::guarded(c, [&] {
                          return fz_get_pixmap_from_image(c, image, nullptr, nullptr, nullptr,
                                                          nullptr);
                      }));
    digest::Sha256 sha;
    addShape(sha, pix->w, pix->h, pix->n, pix->alpha, pix->s);
    const std::size_t row = static_cast<std::size_t>(pix->w) * pix->n;
    for (int y = 0; y < pix->h; ++y)
        sha.Add(pix->samples + static_cast<std::ptrdiff_t>(y) * pix->stride, row);
    return sha.Hex();
}

} // namespace

std::string pixelDigest(fz_context* ctx, fz_image* image) {
    return canWriteJpegAsPnm(ctx, image) ? jpegDigest(ctx, image) : decodedDigest(ctx, image);
}

} // namespace glimmet
