#include "icc_profile.h"

#include "Sha256.h"
#include "big_endian.h"
#include "tool_run.h"

#include <cstring>

namespace glimmet {

namespace {

// The number at `offset`, most significant byte first; 0 past the end.
std::uint32_t numberAt(const std::string& data, std::size_t offset, int bytes) {
    if (offset + static_cast<std::size_t>(bytes) > data.size())
        return 0;
    return bigEndian(reinterpret_cast<const unsigned char*>(data.data()) + offset, bytes);
}

// The ICC stream of `space` ([/ICCBased stream], or an Indexed space over
// one), or null.
pdf_obj* iccStream(fz_context* c, pdf_obj* space) {
    if (!pdf_is_array(c, space))
        return nullptr;
    pdf_obj* family = pdf_array_get(c, space, 0);
    if (pdf_name_eq(c, family, PDF_NAME(Indexed)) || pdf_name_eq(c, family, PDF_NAME(I)))
        return iccStream(c, pdf_array_get(c, space, 1));
    if (!pdf_name_eq(c, family, PDF_NAME(ICCBased)))
        return nullptr;
    pdf_obj* stream = pdf_array_get(c, space, 1);
    return pdf_is_stream(c, stream) ? stream : nullptr;
}

// Text of `length` bytes from `at`, to its first NUL.
std::string plainText(const std::string& data, std::size_t at, std::size_t length) {
    std::string text = data.substr(at, length);
    text.resize(std::strlen(text.c_str()));
    return tools::oneLine(text);
}

// UTF-16 big-endian text as UTF-8, for the characters of the basic plane.
std::string fromUtf16(const std::string& data, std::size_t at, std::size_t length) {
    std::string text;
    for (std::size_t i = at; i + 1 < at + length && i + 1 < data.size(); i += 2) {
        const unsigned u = numberAt(data, i, 2);
        if (u == 0)
            break;
        if (u < 0x80) {
            text += static_cast<char>(u);
        } else if (u < 0x800) {
            text += static_cast<char>(0xc0 | (u >> 6));
            text += static_cast<char>(0x80 | (u & 0x3f));
        } else if (u < 0xd800 || u > 0xdfff) {
            text += static_cast<char>(0xe0 | (u >> 12));
            text += static_cast<char>(0x80 | ((u >> 6) & 0x3f));
            text += static_cast<char>(0x80 | (u & 0x3f));
        }
    }
    return tools::oneLine(text);
}

} // namespace

std::string iccDescription(const std::string& p) {
    // The tag table follows the 128-byte header: a count, then twelve bytes
    // a tag (its signature, offset and size).
    if (p.size() < 132)
        return {};
    const unsigned long count = numberAt(p, 128, 4);
    for (unsigned long i = 0; i < count && 132 + 12 * (i + 1) <= p.size(); ++i) {
        const std::size_t entry = 132 + 12 * i;
        if (p.compare(entry, 4, "desc") != 0)
            continue;
        const std::size_t at = numberAt(p, entry + 4, 4);
        const std::size_t size = numberAt(p, entry + 8, 4);
        if (at >= p.size() || size < 12 || size > p.size() - at)
            return {};
        if (p.compare(at, 4, "desc") == 0)
            return plainText(p, at + 12, std::min<std::size_t>(numberAt(p, at + 8, 4), size - 12));
        if (p.compare(at, 4, "mluc") == 0 && size >= 28 && numberAt(p, at + 8, 4) > 0) {
            const std::size_t length = numberAt(p, at + 20, 4);
            const std::size_t offset = numberAt(p, at + 24, 4);
            if (offset < size && length <= size - offset)
                return fromUtf16(p, at + offset, length);
        }
        return {};
    }
    return {};
}

const IccProfile* IccProfiles::of(tools::Context& ctx, pdf_document* doc, int objectNumber) {
    if (objectNumber <= 0)
        return nullptr;
    fz_context* c = ctx.get();
    const tools::Object image = tools::objectByNumber(c, doc, objectNumber);
    pdf_obj* dict = image.get();
    pdf_obj* stream = tools::guarded(
        c, [&] { return iccStream(c, pdf_dict_get(c, dict, PDF_NAME(ColorSpace))); });
    if (!stream)
        return nullptr;
    const int number = tools::guarded(c, [&] { return pdf_to_num(c, stream); });
    auto [known, fresh] = byStream_.try_emplace(number);
    if (fresh) {
        using Buffer = tools::Ref<fz_buffer, fz_drop_buffer>;
        const Buffer data(c, tools::guarded(c, [&] { return pdf_load_stream(c, stream); }));
        unsigned char* bytes = nullptr;
        const std::size_t size = fz_buffer_storage(c, data.get(), &bytes);
        IccProfile profile;
        profile.bytes.assign(reinterpret_cast<const char*>(bytes), size);
        profile.components =
            tools::guarded(c, [&] { return pdf_dict_get_int(c, stream, PDF_NAME(N)); });
        digest::Sha256 sha;
        sha.Add(profile.bytes.data(), profile.bytes.size());
        profile.sha256 = sha.Hex();
        profile.description = iccDescription(profile.bytes);
        known->second = std::move(profile);
    }
    return known->second ? &*known->second : nullptr;
}

bool jpegCarriesProfile(const unsigned char* data, std::size_t size) {
    static const char kName[] = "ICC_PROFILE";
    // Segments follow the start marker, each a marker and a length, up to
    // the start of the scan.
    for (std::size_t at = 2; at + 4 <= size && data[at] == 0xff;) {
        const unsigned marker = data[at + 1];
        if (marker == 0xda || marker == 0xd9)
            return false;
        const std::size_t length = (std::size_t(data[at + 2]) << 8) | data[at + 3];
        if (marker == 0xe2 && length >= 2 + sizeof kName && at + 4 + sizeof kName <= size &&
            std::memcmp(data + at + 4, kName, sizeof kName) == 0)
            return true;
        at += 2 + length;
    }
    return false;
}

bool jp2CarriesProfile(const unsigned char* data, std::size_t size) {
    const std::string file(reinterpret_cast<const char*>(data), size);
    // Boxes: a length (1: a longer one follows, 0: to the end) and a type.
    const auto walk = [&](std::size_t from, std::size_t to, const auto& each) {
        for (std::size_t at = from; at + 8 <= to;) {
            std::size_t length = numberAt(file, at, 4);
            std::size_t header = 8;
            if (length == 1) {
                length = numberAt(file, at + 12, 4); // a file of over 4 GB has no say here
                header = 16;
            } else if (length == 0) {
                length = to - at;
            }
            if (length < header || length > to - at)
                return false;
            if (each(file.substr(at + 4, 4), at + header, at + length))
                return true;
            at += length;
        }
        return false;
    };
    return walk(0, file.size(), [&](const std::string& type, std::size_t from, std::size_t to) {
        return type == "jp2h" &&
               walk(from, to, [&](const std::string& inner, std::size_t at, std::size_t) {
                   // The method: 2 and 3 carry a profile.
                   const unsigned method = at < file.size() ? data[at] : 0;
                   return inner == "colr" && (method == 2 || method == 3);
               });
    });
}

} // namespace glimmet
