/* Baseline for the whole extraction job: one process that decodes every
 * image of a document once with MuPDF and encodes it once with FreeImage,
 * with the writer flags the job uses, and no scratch files in between.
 *
 *   baseline FORMAT INPUT.pdf OUTPUT_FOLDER
 *   baseline --in-memory FORMAT INPUT.pdf OUTPUT_FOLDER
 *
 * FORMAT is Original (JPEG for a JPEG image, BMP for the rest), BMP, JPEG,
 * JPEG-2000, PNG or TIFF. Bilevel images stay 1-bit where the writer takes
 * it, gray images (a stencil's coverage included) stay 8-bit gray. */
#include <FreeImage.h>
#include <mupdf/fitz.h>
#include <mupdf/pdf.h>
#include <stdio.h>
#include <string.h>

static FIBITMAP* to_bitmap(fz_pixmap* pix, int bilevel) {
    int w = pix->w, h = pix->h, colours = pix->n - pix->alpha;
    int gray = colours <= 1;
    FIBITMAP* dib;
    int x, y;
    if (bilevel) {
        dib = FreeImage_Allocate(w, h, 1, 0, 0, 0);
        RGBQUAD* pal = FreeImage_GetPalette(dib);
        pal[1].rgbRed = pal[1].rgbGreen = pal[1].rgbBlue = 255;
    } else {
        dib = FreeImage_Allocate(w, h, gray ? 8 : 24, 0, 0, 0);
        if (dib && gray) {
            RGBQUAD* pal = FreeImage_GetPalette(dib);
            for (x = 0; x < 256; ++x)
                pal[x].rgbRed = pal[x].rgbGreen = pal[x].rgbBlue = (BYTE)x;
        }
    }
    if (!dib)
        return NULL;
    for (y = 0; y < h; ++y) {
        const unsigned char* src = pix->samples + (size_t)y * pix->stride;
        BYTE* dst = FreeImage_GetScanLine(dib, h - 1 - y);
        if (bilevel) {
            memset(dst, 0, (size_t)(w + 7) / 8);
            for (x = 0; x < w; ++x)
                if (src[x] >= 128)
                    dst[x >> 3] |= (BYTE)(0x80 >> (x & 7));
        } else if (gray && pix->n == 1) {
            memcpy(dst, src, (size_t)w);
        } else if (gray) {
            for (x = 0; x < w; ++x)
                dst[x] = src[x * pix->n];
        } else {
            for (x = 0; x < w; ++x, src += pix->n, dst += 3) {
                dst[FI_RGBA_RED] = src[0];
                dst[FI_RGBA_GREEN] = src[1];
                dst[FI_RGBA_BLUE] = src[2];
            }
        }
    }
    return dib;
}

int main(int argc, char** argv) {
    const char *format, *folder;
    fz_context* ctx;
    pdf_document* doc = NULL;
    int count = 0, failed = 0, num, len, in_memory = 0;
    size_t largest = 0;
    if (argc == 5 && !strcmp(argv[1], "--in-memory")) {
        in_memory = 1;
        ++argv;
        --argc;
    }
    if (argc != 4) {
        fprintf(stderr, "usage: baseline [--in-memory] FORMAT INPUT.pdf OUTPUT_FOLDER\n");
        return 2;
    }
    format = argv[1];
    folder = argv[3];
    ctx = fz_new_context(NULL, NULL, FZ_STORE_DEFAULT);
    fz_var(doc);
    fz_var(count);
    fz_var(failed);
    fz_var(largest);
    fz_var(num);
    fz_register_document_handlers(ctx);
    FreeImage_Initialise(FALSE);
    /* With --in-memory the whole file is read first, so that no reading
     * of it counts; otherwise through MuPDF's own file stream. */
    fz_try(ctx) {
        if (!in_memory) {
            doc = pdf_open_document(ctx, argv[2]);
            break;
        }
        fz_buffer* data = fz_read_file(ctx, argv[2]);
        fz_stream* stm = fz_open_buffer(ctx, data);
        fz_drop_buffer(ctx, data);
        doc = pdf_open_document_with_stream(ctx, stm);
        fz_drop_stream(ctx, stm);
    }
    fz_catch(ctx) return 2;
    len = pdf_xref_len(ctx, doc);
    for (num = 1; num < len; ++num) {
        pdf_obj* obj = NULL;
        fz_image* image = NULL;
        fz_pixmap *pix = NULL, *converted = NULL;
        fz_var(obj);
        fz_var(image);
        fz_var(pix);
        fz_var(converted);
        fz_try(ctx) {
            obj = pdf_new_indirect(ctx, doc, num, 0);
            if (pdf_is_stream(ctx, obj) &&
                pdf_name_eq(ctx, pdf_dict_get(ctx, obj, PDF_NAME(Subtype)), PDF_NAME(Image))) {
                int jpeg =
                    pdf_name_eq(ctx, pdf_dict_get(ctx, obj, PDF_NAME(Filter)), PDF_NAME(DCTDecode));
                int bilevel, ok;
                FREE_IMAGE_FORMAT fif;
                int flags = 0;
                const char* ext;
                char path[4096];
                FIBITMAP* dib;
                image = pdf_load_image(ctx, doc, obj);
                bilevel = image->bpc == 1 && image->n == 1;
                pix = fz_get_pixmap_from_image(ctx, image, NULL, NULL, NULL, NULL);
                if (pix->colorspace && !fz_colorspace_is_gray(ctx, pix->colorspace) &&
                    !fz_colorspace_is_rgb(ctx, pix->colorspace)) {
                    converted = fz_convert_pixmap(ctx, pix, fz_device_rgb(ctx), NULL, NULL,
                                                  fz_default_color_params, 0);
                    fz_drop_pixmap(ctx, pix);
                    pix = converted;
                    converted = NULL;
                }
                if ((size_t)pix->w * pix->h * pix->n > largest)
                    largest = (size_t)pix->w * pix->h * pix->n;
                if (!strcmp(format, "JPEG") || (!strcmp(format, "Original") && jpeg)) {
                    fif = FIF_JPEG, ext = "jpg", flags = 80;
                    bilevel = 0; /* the JPEG writer takes 8-bit gray */
                } else if (!strcmp(format, "JPEG-2000")) {
                    fif = FIF_JP2, ext = "jp2", flags = 12;
                } else if (!strcmp(format, "PNG")) {
                    fif = FIF_PNG, ext = "png";
                } else if (!strcmp(format, "TIFF")) {
                    fif = FIF_TIFF, ext = "tiff";
                } else {
                    fif = FIF_BMP, ext = "bmp";
                }
                dib = to_bitmap(pix, bilevel);
                fz_drop_pixmap(ctx, pix);
                pix = NULL;
                snprintf(path, sizeof path, "%s/%d.%s", folder, ++count, ext);
                ok = dib && FreeImage_Save(fif, dib, path, flags);
                if (!ok)
                    ++failed;
                if (dib)
                    FreeImage_Unload(dib);
            }
        }
        fz_always(ctx) {
            fz_drop_pixmap(ctx, pix);
            fz_drop_image(ctx, image);
            pdf_drop_obj(ctx, obj);
        }
        fz_catch(ctx)++ failed;
    }
    pdf_drop_document(ctx, doc);
    FreeImage_DeInitialise();
    fz_drop_context(ctx);
    /* The benchmark's memory bound rests on the largest decoded image. */
    printf("%d images, %d failed, largest %zu bytes\n", count, failed, largest);
    return failed ? 1 : 0;
}
