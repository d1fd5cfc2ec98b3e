#include "cli/Manifest.h"

#include "cli/Json.h"
#include "cli/PictureFacts.h"
#include "extract/LeftFiles.h"
#include "platform/AppendLog.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/WorkingFile.h"
#include "text/TextRules.h"

#include <algorithm>
#include <climits>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <type_traits>

namespace cli {

namespace {

using File = JobOutcomes::File;

// One picture's line before it is written out.
struct Row {
    Row(int p, int n, int o, std::string s = {})
        : page(p), onPage(n), object(o), status(std::move(s)) {}
    int page = 0;
    int onPage = 0; // 0: not known
    int object = 0;
    std::string status;
    std::optional<std::string> file; // its name in the folder
    std::string reason;              // of a failure
    std::optional<std::string> repeatOf;
    const ListedImage* listed = nullptr;
    std::optional<bool> kept;
    std::optional<std::string> sha256;
    std::optional<std::uint64_t> size; // of a file written
};

std::string RowLine(const Row& r) {
    const ListedImage* l = r.listed;
    // What the listing says of the picture; null where it said nothing.
    const auto listed = [l](auto field) { return l ? Json(l->*field) : Json(); };
    Json row;
    row["file"] = OrNull(r.file);
    row["status"] = r.status;
    if (!r.reason.empty())
        row["reason"] = r.reason;
    if (r.status == "repeat")
        row["repeat_of"] = OrNull(r.repeatOf);
    row["page"] = r.page;
    row["image_on_page"] = r.onPage > 0 ? Json(r.onPage) : Json();
    row["object"] = r.object > 0 || l ? Json(r.object) : Json();
    row["width"] = listed(&ListedImage::width);
    row["height"] = listed(&ListedImage::height);
    row["colour_space"] = listed(&ListedImage::colourSpace);
    row["components"] = listed(&ListedImage::components);
    row["bits_per_component"] = listed(&ListedImage::bitsPerComponent);
    row["encoding"] = listed(&ListedImage::encoding);
    row["profile"] = l ? ProfileJson(*l) : Json();
    row["placements"] = l ? PlacementsJson(*l) : Json();
    row["kept"] = OrNull(r.kept);
    row["sha256"] = OrNull(r.sha256);
    row["size"] = OrNull(r.size);
    return JsonLine(row);
}

// The row of a file the job took.
void Apply(const File& file, Row& row) {
    switch (file.kind) {
    case File::Kind::Written:
        row.status = "written";
        row.file = text::ExtractFileName(file.path);
        row.kept = file.documentBytes;
        row.size = file.bytes;
        if (!file.sha256.empty())
            row.sha256 = file.sha256;
        break;
    case File::Kind::NotReplaced:
        row.status = "not replaced";
        row.file = text::ExtractFileName(file.path);
        break;
    case File::Kind::Failed:
        row.status = "failed";
        row.reason = file.reason;
        break;
    }
}

} // namespace

void FileJournal::Add(const std::string& fileName) {
    log_.Append(fileName + "\n");
}

void FileJournal::Close() {
    log_.Close();
    platform::RemoveFile(path_);
}

bool FileJournal::ClearAway(const std::string& path, const std::string& folder) {
    if (!platform::FileExists(path))
        return true;
    std::istringstream in(platform::ReadAppendLog(path));
    std::vector<std::string> names;
    for (std::string name; std::getline(in, name);)
        names.push_back(name);
    const bool cleared = RemoveNamedFiles(folder, names);
    return platform::RemoveFile(path) && cleared;
}

bool RemoveNamedFiles(const std::string& folder, const std::vector<std::string>& names) {
    // What the files of a run end in, whatever its format.
    static const std::set<std::string> kImageExtensions{".bmp", ".jpg", ".jp2", ".png", ".tiff"};
    bool cleared = true;
    for (const std::string& name : names) {
        // Only an image's name in the folder, as the run writes them.
        if (platform::HoldsSeparator(name) || !kImageExtensions.count(text::ExtractFileExt(name)))
            continue;
        const std::string file = platform::WithSeparator(folder) + name;
        if (platform::FileExists(file) && !platform::RemoveFile(file))
            cleared = false;
    }
    return cleared;
}

void OutcomeRecorder::Tell(const extract::JobEvent& event) {
    std::visit(
        [&](const auto& e) {
            using E = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<E, extract::PageBegun>) {
                page_ = e.page;
            } else if constexpr (std::is_same_v<E, extract::PagePictures>) {
                outcomes_.listed.insert(outcomes_.listed.end(), e.pictures.begin(),
                                        e.pictures.end());
                outcomes_.listedWhole = outcomes_.listedWhole && e.complete;
            } else if constexpr (std::is_same_v<E, extract::ImageWritten>) {
                if (journal_)
                    journal_->Add(text::ExtractFileName(e.path));
                outcomes_.files[page_].push_back({.kind = File::Kind::Written,
                                                  .path = e.path,
                                                  .documentBytes = e.documentBytes,
                                                  .bytes = e.bytes,
                                                  .sha256 = e.sha256});
            } else if constexpr (std::is_same_v<E, extract::ImageNotReplaced>) {
                outcomes_.files[page_].push_back({.kind = File::Kind::NotReplaced, .path = e.path});
            } else if constexpr (std::is_same_v<E, extract::ImageFailed>) {
                const extract::ImageFailure& f = e.failure;
                if (e.number > 0)
                    outcomes_.files[page_].push_back(
                        {.kind = File::Kind::Failed, .reason = f.reason});
                else if (f.imageOnPage > 0)
                    outcomes_.pictures.emplace(std::pair{f.page, f.imageOnPage}, f);
                else
                    outcomes_.pages.emplace(f.page, f.reason);
            }
        },
        event);
    inner_.Tell(event);
}

std::string ManifestHeader(const ManifestDocument& document, const std::string& options,
                           std::size_t rows) {
    Json header;
    header["document"] = document.name;
    header["options"] = options;
    header["document_size"] = document.size;
    header["document_sha256"] = document.sha256;
    header["rows"] = rows;
    return JsonLine(header);
}

std::vector<std::string> ManifestRows(const std::vector<ListedImage>& listed,
                                      const JobOutcomes& outcomes) {
    std::vector<Row> rows;
    std::map<int, std::size_t> taken;     // files of each page matched so far
    std::map<int, std::string> names;     // a listed number's file
    std::set<std::pair<int, int>> failed; // picture failures matched
    std::set<int> pagesNamed;             // page failures matched
    for (const ListedImage& l : listed) {
        Row row{l.page, l.onPage, l.objectNumber};
        row.listed = &l;
        const auto failure = outcomes.pictures.find({l.page, l.onPage});
        if (l.small) {
            row.status = "small";
        } else if (l.repeatOf > 0) {
            row.status = "repeat";
            if (const auto of = names.find(l.repeatOf); of != names.end())
                row.repeatOf = of->second;
        } else if (failure != outcomes.pictures.end() || l.failed) {
            row.status = "failed";
            row.reason =
                failure != outcomes.pictures.end() ? failure->second.reason : "no file came of it";
            if (failure != outcomes.pictures.end())
                failed.insert(failure->first);
        } else if (const auto files = outcomes.files.find(l.page);
                   files != outcomes.files.end() && taken[l.page] < files->second.size()) {
            const std::size_t index = taken[l.page]++;
            Apply(files->second[index], row);
            if (row.file && row.status == "written")
                names[l.number] = *row.file;
        } else {
            // The page's run ended before this picture came out of it.
            const auto page = outcomes.pages.find(l.page);
            row.status = "failed";
            row.reason = page != outcomes.pages.end() ? page->second : "no file came of it";
            pagesNamed.insert(l.page);
        }
        rows.push_back(std::move(row));
    }
    // What the listing did not see still has its line: pictures that
    // failed on their own, pages that could not be read, files beyond it.
    for (const auto& [key, failure] : outcomes.pictures)
        if (!failed.count(key)) {
            Row row{key.first, key.second, failure.objectNumber, "failed"};
            row.reason = failure.reason;
            rows.push_back(std::move(row));
        }
    for (const auto& [page, reason] : outcomes.pages)
        if (!pagesNamed.count(page)) {
            Row row{page, 0, 0, "failed"};
            row.reason = reason;
            rows.push_back(std::move(row));
        }
    for (const auto& [page, files] : outcomes.files)
        for (std::size_t i = taken[page]; i < files.size(); ++i) {
            Row row{page, 0, 0};
            Apply(files[i], row);
            rows.push_back(std::move(row));
        }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        const auto key = [](const Row& r) {
            return std::pair{r.page, r.onPage > 0 ? r.onPage : INT_MAX};
        };
        return key(a) < key(b);
    });
    std::vector<std::string> lines;
    for (const Row& row : rows)
        lines.push_back(RowLine(row));
    return lines;
}

std::string WriteManifest(const std::string& path, const std::vector<std::string>& lines) {
    platform::WorkingFile file(text::ExtractFilePath(path),
                               extract::MarkedPrefix(extract::kWorkingFilePrefix));
    bool written = file.Created();
    for (std::size_t i = 0; written && i < lines.size(); ++i)
        written = file.Write(lines[i].data(), lines[i].size()) && file.Write("\n", 1);
    if (written && file.Complete() &&
        file.Publish(path, false) == platform::WorkingFile::Outcome::Published)
        return {};
    return file.Problem().empty() ? "it could not be written" : file.Problem();
}

} // namespace cli
