/* Baseline for the tools' start-up cost: the least a MuPDF program must do
 * to answer anything about a page, i.e. open the document and find the page. */
#include <mupdf/fitz.h>
#include <mupdf/pdf.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    fz_context* ctx;
    pdf_document* doc;
    int rc = 0;
    if (argc != 3)
        return 2;
    ctx = fz_new_context(NULL, NULL, FZ_STORE_DEFAULT);
    fz_try(ctx) {
        doc = pdf_open_document(ctx, argv[1]);
        pdf_lookup_page_obj(ctx, doc, atoi(argv[2]) - 1);
        pdf_drop_document(ctx, doc);
    }
    fz_catch(ctx) rc = 1;
    fz_drop_context(ctx);
    return rc;
}
