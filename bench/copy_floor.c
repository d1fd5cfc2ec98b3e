/* The copy floor of the extraction job: one process that reads the stored
 * data of every image of a document and writes it as a file, decoding
 * nothing. No job that writes the pictures can take less.
 *
 *   copy_floor INPUT.pdf OUTPUT_FOLDER */
#include <mupdf/fitz.h>
#include <mupdf/pdf.h>
#include <stdio.h>

int main(int argc, char** argv) {
    fz_context* ctx;
    pdf_document* doc = NULL;
    int count = 0, failed = 0, num, len;
    if (argc != 3) {
        fprintf(stderr, "usage: copy_floor INPUT.pdf OUTPUT_FOLDER\n");
        return 2;
    }
    ctx = fz_new_context(NULL, NULL, FZ_STORE_DEFAULT);
    fz_var(doc);
    fz_var(count);
    fz_var(failed);
    fz_var(num);
    fz_register_document_handlers(ctx);
    fz_try(ctx) doc = pdf_open_document(ctx, argv[1]);
    fz_catch(ctx) return 2;
    len = pdf_xref_len(ctx, doc);
    for (num = 1; num < len; ++num) {
        fz_buffer* data = NULL;
        pdf_obj* obj = NULL;
        fz_var(data);
        fz_var(obj);
        fz_try(ctx) {
            obj = pdf_new_indirect(ctx, doc, num, 0);
            if (pdf_is_stream(ctx, obj) &&
                pdf_name_eq(ctx, pdf_dict_get(ctx, obj, PDF_NAME(Subtype)), PDF_NAME(Image))) {
                char path[4096];
                FILE* f;
                unsigned char* bytes;
                size_t n;
                data = pdf_load_raw_stream_number(ctx, doc, num);
                n = fz_buffer_storage(ctx, data, &bytes);
                snprintf(path, sizeof path, "%s/%d.jpg", argv[2], ++count);
                f = fopen(path, "wb");
                if (!f || fwrite(bytes, 1, n, f) != n)
                    ++failed;
                if (f && fclose(f) != 0)
                    ++failed;
            }
        }
        fz_always(ctx) {
            fz_drop_buffer(ctx, data);
            pdf_drop_obj(ctx, obj);
        }
        fz_catch(ctx)++ failed;
    }
    pdf_drop_document(ctx, doc);
    fz_drop_context(ctx);
    printf("%d images copied\n", count);
    return failed ? 1 : 0;
}
