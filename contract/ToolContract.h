// What arvenzo and its console tools, vellam.bin and glimmet.bin, agree on:
// their command lines, the lines the program reads, and what the names of
// the scratch files mean. Change a value here and both sides follow.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace contract {

// Both tools sit beside the program and run in its folder.
inline constexpr const char* kInformationTool = "vellam.bin";
inline constexpr const char* kExtractionTool = "glimmet.bin";

// vellam.bin [-upw PASSWORD] FILE
// glimmet.bin -f FIRST -l LAST [-upw PASSWORD] [-keep KIND] [-unique]
//             [-min-size WxH] [-records [-hash] [-from-file N]] FILE ROOT
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
// leaves out a picture narrower than W or lower than H.
inline constexpr const char* kUniqueOption = "-unique";
inline constexpr const char* kMinSizeOption = "-min-size";

// Without -records the tool works through its range at once and is silent
// on success: its files are found in the folder, and every line it prints
// is a problem. With -records it talks with the program over one channel,
// its standard output (standard error joined to it): a record a line, the
// kinds below, fields after the label separated by kListSeparator and never
// holding a tab or a line end. The program answers on the tool's standard
// input with kGo records, and may first hand it kSeen records.
inline constexpr const char* kRecordsOption = "-records";
// -hash: each file of the document's own bytes is hashed as it is written,
// and its kFileMade record carries the SHA-256.
inline constexpr const char* kHashOption = "-hash";
// -from-file N: the run's first file is number N, so that a run that takes
// over from one that ended on a page neither reuses its names nor numbers.
inline constexpr const char* kFromFileOption = "-from-file";

// "Page:\tP": the page begins. The tool takes up page P only once the
// program has said "Go:\tQ" with Q >= P; the end of its input means the
// program wants no more pages. So the program decides how far the tool may
// run ahead of it.
inline constexpr const char* kListedPage = "Page:";
inline constexpr const char* kGo = "Go:";
// "Image:\t..." (the fields of ListedField): one file a picture makes, said
// before the file is written, so that a picture that fails keeps its facts.
inline constexpr const char* kListedImage = "Image:";
// "File:\tNUMBER\tNAME\tBYTES\tSHA256": the file NUMBER of the run (the
// listing's number of its Image record) is whole, named NAME in ROOT's
// folder; SHA256 in lower-case hex, or kNoDigest.
inline constexpr const char* kFileMade = "File:";
inline constexpr const char* kNoDigest = "-";
// "Seen:\tKIND\tKEY\tFILE": with -unique, a picture written whole, by
// which a later one is known as its repeat: kSeenObject and its object
// number, or kSeenPixels and the digest of its pixels, and the number of its
// first file. The program keeps them and hands them, in the same records, to
// a run that takes over the rest of the range.
inline constexpr const char* kSeen = "Seen:";
inline constexpr const char* kSeenObject = "object";
inline constexpr const char* kSeenPixels = "pixels";
// "Error: TEXT": a problem, as the tool says it without -records too; a
// line of no kind at all is a problem of the page under way as well.
inline constexpr const char* kProblem = "Error:";
// "Done:\tP": every record of page P has been said and its files are whole.
inline constexpr const char* kPageDone = "Done:";
// "Listed:\tP": the run walked its last page, P.
inline constexpr const char* kListedEnd = "Listed:";
inline constexpr char kListSeparator = '\t';

// A record's label and its fields.
struct Record {
    std::string label;
    std::vector<std::string> fields;
};

inline std::string FormatRecord(const std::string& label, const std::vector<std::string>& fields) {
    std::string line = label;
    for (const std::string& field : fields)
        line += kListSeparator + field;
    return line + '\n';
}

// A line (without its end) as a record; a line without a separator is a
// label alone.
inline Record ParseRecord(const std::string& line) {
    Record record;
    std::size_t start = 0;
    std::size_t at = line.find(kListSeparator);
    record.label = line.substr(0, at);
    while (at != std::string::npos) {
        start = at + 1;
        at = line.find(kListSeparator, start);
        record.fields.push_back(
            line.substr(start, at == std::string::npos ? std::string::npos : at - start));
    }
    return record;
}

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
// drawing order across its run (from -from-file's number less one), in
// three digits or more. The program passes its scratch folder and this root.
inline constexpr const char* kScratchRoot = "tmp";
inline constexpr char kNumberSeparator = '-';
inline constexpr std::size_t kNumberDigits = 3;

// glimmet.bin -list [-f FIRST] [-l LAST] [-upw PASSWORD] [-keep KIND]
//             [-unique] [-min-size WxH] [-only PICTURES] FILE
// glimmet.bin -list -thumbs SIZE [...] FILE ROOT
// Says what the same run would write, in the records above (Page, Image,
// Done and Listed, and the problems), without decoding (but with -unique,
// which compares pixels) or writing anything, and without waiting for a go.
inline constexpr const char* kListOption = "-list";
// -thumbs SIZE: each picture is also decoded at a reduced size, no side
// longer than SIZE pixels (or its own size, when smaller), and written under
// ROOT as a gray or RGB map (kGray or kStoredAsJpeg) named in a kThumb record
// after the picture's Image records: "Thumb:\tNAME\tWIDTH\tHEIGHT". A
// picture that cannot be decoded has a problem instead.
inline constexpr const char* kThumbsOption = "-thumbs";
inline constexpr const char* kThumb = "Thumb:";
// -only PICTURES: only these pictures are taken, each as PAGE.N (N its
// number on the page, from 1, as the records number it), separated by
// commas; the rest are passed over without being decoded. Extracting or
// listing, the files are numbered as if the others were not there.
inline constexpr const char* kOnlyOption = "-only";
inline constexpr char kOnlyPage = '.';
inline constexpr char kOnlySeparator = ',';

// The pictures of such a list, each as its page and number on the page, in
// the list's order; nothing when a part is not PAGE.N of plain digits, both
// from 1.
inline std::optional<std::vector<std::pair<int, int>>> ReadPictureList(const std::string& text) {
    const auto number = [](const std::string& digits) -> std::optional<int> {
        int value = 0;
        const char* end = digits.data() + digits.size();
        const auto [ptr, ec] = std::from_chars(digits.data(), end, value);
        if (digits.empty() || digits[0] == '+' || ec != std::errc() || ptr != end || value < 1)
            return std::nullopt;
        return value;
    };
    std::vector<std::pair<int, int>> pictures;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(kOnlySeparator, start), text.size());
        const std::string part = text.substr(start, end - start);
        const std::size_t dot = part.find(kOnlyPage);
        const auto page = dot == std::string::npos ? std::nullopt : number(part.substr(0, dot));
        const auto onPage = page ? number(part.substr(dot + 1)) : std::nullopt;
        if (!onPage)
            return std::nullopt;
        pictures.emplace_back(*page, *onPage);
        start = end + 1;
    }
    return pictures;
}

// The fields of a kListedImage line, after its label, in this order; the
// profile's description comes last, as it may hold any text but tabs.
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
    kListedUses,
    kListedProfile,
    kListedProfileCarried,
    kListedProfileName,
    kListedFieldCount
};

// kListedUses: where the picture is drawn on its page, each use as the six
// numbers of its drawing matrix ("a b c d e f", which take the picture's
// unit square to the page, in the page's own units), kUseSeparator between
// uses, the first use first.
inline constexpr char kUseSeparator = ';';
// kListedProfile: the SHA-256 of the ICC profile the picture's colour space
// names, or kNoDigest; kListedProfileName its description. Whether the file
// carries it (kProfileCarried: its samples are written as they are, or kept
// bytes hold it themselves), or not (kProfileDropped: converted to RGB, or
// kept bytes without it); kNoDigest without a profile.
inline constexpr const char* kProfileCarried = "carried";
inline constexpr const char* kProfileDropped = "dropped";
// "Profile:\tNAME", after the File record of a file that carries a profile
// the program writes into it: the profile's bytes, in NAME beside the file.
inline constexpr const char* kProfileMade = "Profile:";
inline constexpr const char* kProfileExtension = ".icc";

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

// ROOT-NNN.ext for scratch file `number`.
inline std::string ScratchName(const std::string& root, int number, const std::string& extension) {
    std::string digits = std::to_string(number);
    if (digits.size() < kNumberDigits)
        digits.insert(0, kNumberDigits - digits.size(), '0');
    return root + kNumberSeparator + digits + extension;
}

} // namespace contract
