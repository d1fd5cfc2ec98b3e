#include "extract/Formats.h"

#include "ToolContract.h"
#include "platform/Environment.h"
#include "text/TextRules.h"

namespace extract {

namespace {

int FlagsFor(const std::string& extension, int jpegQuality) {
    if (extension == "JPG")
        return jpegQuality;
    if (extension == "JP2")
        return 12; // compression rate 12:1
    return 0;
}

const char* Description(const std::string& format) {
    if (format == "BMP")
        return " - Windows Bitmap File (*.BMP)";
    if (format == "JPEG")
        return " - Independent JPEG Group (*.JPG)";
    if (format == "JPEG-2000")
        return " - JPEG-2000 File Format (*.JP2)";
    if (format == "PNG")
        return " - Portable Network Graphics (*.PNG)";
    if (format == "TIFF")
        return " - Tagged Image File Format (*.TIFF)";
    return nullptr;
}

} // namespace

OutputFormat ChooseFormat(const std::string& formatText, const std::string& scratchExtension,
                          int jpegQuality) {
    ImageFormat format = ImageFormat::Tiff;
    std::string extension = formatText;
    if (formatText == "Original") {
        const bool jpeg =
            scratchExtension == contract::kStoredAsJpeg || scratchExtension == contract::kKeptJpeg;
        format = jpeg ? ImageFormat::Jpeg : ImageFormat::Bmp;
        extension = jpeg ? "JPG" : "BMP";
    } else if (formatText == "BMP") {
        format = ImageFormat::Bmp;
    } else if (formatText == "JPEG-2000") {
        format = ImageFormat::Jpeg2000;
        extension = "JP2";
    } else if (formatText == "JPEG") {
        format = ImageFormat::Jpeg;
        extension = "JPG";
    } else if (formatText == "PNG") {
        format = ImageFormat::Png;
    }
    const bool copied = (format == ImageFormat::Jpeg && scratchExtension == contract::kKeptJpeg) ||
                        (format == ImageFormat::Jpeg2000 && scratchExtension == contract::kKeptJpx);
    return {format, extension, FlagsFor(extension, jpegQuality), copied};
}

const char* KeptEncoding(const std::string& formatText) {
    if (formatText == "Original" || formatText == "JPEG")
        return contract::kKeepJpeg;
    if (formatText == "JPEG-2000")
        return contract::kKeepJpx;
    return nullptr;
}

bool HoldsProfile(const std::string& formatText, bool jpeg) {
    // FreeImage writes none into BMP, nor into JPEG-2000.
    const ImageFormat format =
        ChooseFormat(formatText, jpeg ? contract::kStoredAsJpeg : "", 0).format;
    return format == ImageFormat::Png || format == ImageFormat::Tiff || format == ImageFormat::Jpeg;
}

std::string NumberedName(const std::string& prefix, int number) {
    return text::Trim(prefix) + std::to_string(number);
}

std::string NamedFile(const std::string& folder, const std::string& name,
                      const std::string& extension) {
    return folder + platform::PathSeparator() + name + "." + text::LowerCase(extension);
}

std::string OutputFileName(const std::string& folder, const std::string& prefix, int number,
                           const std::string& extension) {
    return NamedFile(folder, NumberedName(prefix, number), extension);
}

FormatHint HintForFormat(const std::string& formatText) {
    const std::string t = text::Trim(formatText);
    if (t.empty())
        return {false, {}};
    const char* description = Description(t);
    if (t == "Original" || !description)
        return {true, "Output image format: <b>Keep the original</b>"};
    return {true, "Forced output image format: <b>" + t + "</b>" + description};
}

} // namespace extract
