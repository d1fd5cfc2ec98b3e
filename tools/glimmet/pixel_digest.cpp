#include "pixel_digest.h"

#include "Sha256.h"
#include "image_export.h"
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

std::string decodedDigest(tools::Context& ctx, fz_image* image) {
    const tools::Pixmap pix = decodeWhole(ctx, image);
    digest::Sha256 sha;
    addShape(sha, pix->w, pix->h, pix->n, pix->alpha, pix->s);
    const std::size_t row = static_cast<std::size_t>(pix->w) * pix->n;
    for (int y = 0; y < pix->h; ++y)
        sha.Add(pix->samples + static_cast<std::ptrdiff_t>(y) * pix->stride, row);
    return sha.Hex();
}

// The bytes of a picture written as they are, marked so that they never
// pass for pixels.
std::string keptDigest(fz_context* c, const KeptPicture& kept) {
    unsigned char* data = nullptr;
    const size_t len = fz_buffer_storage(c, kept.bytes.get(), &data);
    digest::Sha256 sha;
    addShape(sha, -1, -1, -1, -1, -1);
    sha.Add(data, len);
    return sha.Hex();
}

} // namespace

std::string pixelDigest(tools::Context& ctx, fz_image* image, const KeptPicture& kept) {
    fz_context* c = ctx.get();
    try {
        // Never compared on pixels MuPDF made up for damaged data.
        checkBeforeDecoding(c, image);
        return canWriteJpegAsPnm(c, image) ? jpegDigest(c, image) : decodedDigest(ctx, image);
    } catch (const tools::MuError&) {
        // Written as its bytes, never decoded, the picture keeps the damage
        // the document gave it.
        if (!kept)
            throw;
        return keptDigest(c, kept);
    }
}

} // namespace glimmet
