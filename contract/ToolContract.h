// What arvenzo and its console tools, vellam.bin and glimmet.bin, agree on:
// their command lines, the lines the program reads, and what the names of
// the scratch files mean. Change a value here and both sides follow.
#pragma once

#include <cstddef>
#include <string>

namespace contract {

// Both tools sit beside the program and run in its folder.
inline constexpr const char* kInformationTool = "vellam.bin";
inline constexpr const char* kExtractionTool = "glimmet.bin";

// vellam.bin [-upw PASSWORD] FILE
// glimmet.bin -f FIRST -l LAST [-upw PASSWORD] [-keep KIND] [-unique]
//             [-min-size WxH] [-tally FILE] FILE ROOT
// Pages are 1-based and inclusive. The password is one argument, whatever it
// holds.
inline constexpr const char* kFirstPageOption = "-f";
inline constexpr const char* kLastPageOption = "-l";
inline constexpr const char* kPasswordOption = "-upw";

// With -keep KIND, a picture the document holds as KIND that shows on its
// own what the page shows comes as the document's own bytes, under the
// extension of its kind below; without it, every picture is decoded.
inline constexpr const char* kKeepOption = "-keep";
inline constexpr const char* kKeepJpeg = "jpeg";
inline constexpr const char* kKeepJpx = "jpx";

// -unique leaves out a picture written already in the run: the same image
// object, or other pixels equal to those of one written. -min-size WxH
// leaves out a picture narrower than W or lower than H. With -tally FILE,
// what is written is remembered in FILE for the next run over the same
// document, and each picture left out adds a line: kTallyRepeat or
// kTallySmall, a blank and 1.
inline constexpr const char* kUniqueOption = "-unique";
inline constexpr const char* kMinSizeOption = "-min-size";
inline constexpr const char* kTallyOption = "-tally";
inline constexpr const char* kTallyObject = "object";
inline constexpr const char* kTallyPixels = "pixels";
inline constexpr const char* kTallyRepeat = "repeat";
inline constexpr const char* kTallySmall = "small";

// With -facts FILE, an extracting run also appends to FILE, page by page
// once the page is written, the lines a listing would print for it
// (kListedPage, kListedImage for every picture, left out or not), and
// kListedEnd when it reaches its last page. A repeat names the file by its
// number in the whole job: a run after another counts on from the files
// the FILE lists already, and the tally keeps each picture's file number.
inline constexpr const char* kFactsOption = "-facts";
// Before a page's facts end, a kFactsDigest line follows for each file of
// the page written as the document's own bytes, which the program copies as
// they are: the page, the file's place among the page's files (from 1), its
// size in bytes and its SHA-256 in lower-case hex. The tool has processor
// time to spare where the program has none.
inline constexpr const char* kFactsDigest = "Digest:";

// The first line of either tool, exactly, when the document needs a user
// password and none or a wrong one was given: the program then asks for one.
inline constexpr const char* kIncorrectPassword = "Command Line Error: Incorrect password";

// A tool that used up its processor budget ends with a line that ends in
// this, after the seconds: the document took too long to read, which says
// nothing of whether it is damaged.
inline constexpr const char* kOutOfProcessorTime = " s of processor time";

// vellam.bin's page count: a line of this label, blanks and the count.
inline constexpr const char* kPagesLabel = "Pages:";

// glimmet.bin writes each image as ROOT-NNN.ext, numbered from 000 in
// drawing order across its run, in three digits or more. The program passes
// its scratch folder and this root, and takes nothing else from the folder.
inline constexpr const char* kScratchRoot = "tmp";
inline constexpr char kNumberSeparator = '-';
inline constexpr std::size_t kNumberDigits = 3;

// glimmet.bin -list [-f FIRST] [-l LAST] [-upw PASSWORD] [-keep KIND] FILE
// Says what the same run would write, without decoding (but with -unique,
// which compares pixels) or writing anything:
// a kListedPage line as each page begins, a kListedImage line for each
// scratch file in the order of their numbers, and kListedEnd once every page
// was walked. Problems come as they do when extracting.
inline constexpr const char* kListOption = "-list";
inline constexpr const char* kListedPage = "Page:";
inline constexpr const char* kListedImage = "Image:";
inline constexpr const char* kListedEnd = "Listed:";
inline constexpr char kListSeparator = '\t';

// The fields of a kListedImage line, after its label, in this order.
// Width, height, components and bits are those of the file written; the
// colour space, the encoding and the bytes are what the document holds; the
// resolution is the image's as drawn where it is first drawn, in pixels per
// inch (0 when it is drawn without extent). The encoding is one of jpeg, jpx,
// jbig2, ccitt, flate, lzw, rle and raw. The object number is 0 for an
// inline image; the picture's number on its page counts from 1 in drawing
// order, as a failure names it, and is shared by an image and its mask file.
enum ListedField {
    kListedPageNumber,
    kListedWidth,
    kListedHeight,
    kListedColourSpace,
    kListedComponents,
    kListedBits,
    kListedEncoding,
    kListedMask,
    kListedXResolution,
    kListedYResolution,
    kListedBytes,
    kListedOutput,
    kListedObject,
    kListedOnPage,
    kListedFieldCount
};

// A picture left out is listed with one more field: kListedSmall, or
// kListedRepeat, a blank and the number (from 1, in the run) of the listed
// file it repeats. It takes no number of its own.
inline constexpr const char* kListedSmall = "small";
inline constexpr const char* kListedRepeat = "repeat";
// In an extracting run's facts, a picture that could not be had at all is
// listed with what its dictionary states (the encoding, the colour space,
// width, height and bits as declared) and one more field, kListedFailed.
// It takes no number either.
inline constexpr const char* kListedFailed = "failed";

// kListedOutput: whether the file is the document's own bytes, kept, or a
// picture the program encodes.
inline constexpr const char* kOutputKept = "kept";
inline constexpr const char* kOutputEncoded = "encoded";

// What becomes of an image's mask. A mask of another size than its image is
// written as a gray file of its own, listed right after the image with no
// mask of its own.
inline constexpr const char* kMaskNone = "none";
inline constexpr const char* kMaskSoft = "soft mask";          // becomes the alpha
inline constexpr const char* kMaskSameSize = "same-size mask"; // becomes the alpha
inline constexpr const char* kMaskColourKey = "colour key";    // becomes the alpha
inline constexpr const char* kMaskStencil = "stencil";         // the image is a mask itself
inline constexpr const char* kMaskSeparate = "separate mask file";

// What a scratch file's extension says about its picture. Only a picture
// the document holds as JPEG comes as .ppm or as kept JPEG bytes, which is
// how "Original" knows to make it a JPEG; every other picture becomes a BMP.
inline constexpr const char* kStoredAsJpeg = ".ppm"; // RGB, or a gray map for gray
inline constexpr const char* kBilevel = ".pbm";
inline constexpr const char* kGray = ".pgm";
inline constexpr const char* kColour = ".bmp"; // 24-bit, or 32-bit with its mask as alpha
// The document's own bytes, asked for with kKeepOption: copied, not encoded.
inline constexpr const char* kKeptJpeg = ".jpg";
inline constexpr const char* kKeptJpx = ".jp2"; // a JP2 file
inline constexpr const char* kScratchExtensions[] = {kColour,       kBilevel,  kGray,
                                                     kStoredAsJpeg, kKeptJpeg, kKeptJpx};

// glimmet.bin ends its run with this line, a blank and the system's reason
// when its scratch folder takes no more files (its disk is full): every
// later picture would fail the same way, and none of them is the
// document's fault.
inline constexpr const char* kScratchFull = "Error: the scratch folder is full:";

// A file not yet whole carries this prefix before its name, so the program
// never takes half an image; what a stopped tool left under it is removed.
inline constexpr const char* kWorkingPrefix = "~";

// A glimmet.bin started ahead of its page finds in this variable the number
// of a descriptor to read to its end before its files take their names: the
// images of the page before are still being converted under the same names.
// The program hands over kGoDescriptor; the tool goes by the variable.
inline constexpr const char* kGoVariable = "ARVENZO_GO_FD";
inline constexpr int kGoDescriptor = 3;

// A glimmet.bin that finds kPageVariable as well works page by page through
// its whole range. The program writes one byte to the go descriptor for
// each page once it has taken the page before; the tool reads a page's byte
// before that page's files take their names (a page without files may read
// it later, but before any later page's files are named), and the end of
// that descriptor tells it to stop. Once a page's files have their names
// and its problems are printed, the tool writes a line to the page
// descriptor: the page's number, the number of files it named, and how many
// bytes the run has printed on standard output and standard error so far,
// blank-separated. Those bytes, from the end of the page before, are the
// page's lines. A tool that ends without saying its page is done leaves the
// rest of the range to a new run.
inline constexpr const char* kPageVariable = "ARVENZO_PAGE_FD";
inline constexpr int kPageDescriptor = 4;
// The program may hold bytes back while pages come without files; a tool
// that has to wait for one writes this line to the page descriptor first,
// and the program sends what it holds.
inline constexpr const char* kGoWanted = "go?";

// ROOT-NNN.ext for scratch file `number`.
inline std::string ScratchName(const std::string& root, int number, const std::string& extension) {
    std::string digits = std::to_string(number);
    if (digits.size() < kNumberDigits)
        digits.insert(0, kNumberDigits - digits.size(), '0');
    return root + kNumberSeparator + digits + extension;
}

} // namespace contract
