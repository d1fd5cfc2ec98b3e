/* Baseline for one large JPEG: decode it with libjpeg and write the same
 * RGB scratch file glimmet writes, in one process. */
#include <jpeglib.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    struct jpeg_decompress_struct cinfo;
    struct jpeg_error_mgr jerr;
    FILE *in, *out;
    JSAMPROW row;
    if (argc != 3 || !(in = fopen(argv[1], "rb")) || !(out = fopen(argv[2], "wb")))
        return 2;
    setvbuf(out, NULL, _IOFBF, 1 << 20);
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, in);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    fprintf(out, "P6\n%u %u\n255\n", cinfo.output_width, cinfo.output_height);
    row = malloc((size_t)cinfo.output_width * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        jpeg_read_scanlines(&cinfo, &row, 1);
        fwrite(row, 1, (size_t)cinfo.output_width * 3, out);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    free(row);
    fclose(in);
    return fclose(out) != 0;
}
