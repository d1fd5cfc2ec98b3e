#pragma once

#include "scratch_output.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace glimmet {

// The scratch files of one run, ROOT-000.ext, ROOT-001.ext, ... Each is
// written under a working name and takes its own name only when whole, so
// the program never sees half an image, not even from a tool that was
// killed. A number is taken only by a file written whole. Held back (the
// tool was started ahead of its turn), whole files keep their working
// names until release().
class ScratchNames {
public:
    explicit ScratchNames(std::string root) : root_(std::move(root)) {}
    ~ScratchNames(); // working files never released are removed
    ScratchNames(const ScratchNames&) = delete;
    ScratchNames& operator=(const ScratchNames&) = delete;

    // Writes the run's next file, with `extension`: `fill` writes its
    // contents, and the file takes its number once that is done. Throws
    // WriteError, or whatever `fill` throws; the file is then never shown.
    // A file of the document's own bytes (`kept`) is hashed when asked.
    void write(const char* extension, const std::function<void(ScratchOutput&)>& fill,
               bool kept = false);

    // Kept files are hashed from now on; hashed() hands over their digests.
    void hashKept() { hashKept_ = true; }
    struct Hashed {
        int index; // the file's number in the run, from 0
        std::uint64_t size;
        std::string sha256;
    };
    std::vector<Hashed> hashed() { return std::exchange(hashed_, {}); }

    void holdBack() { heldBack_ = true; }
    bool holding() const { return !waiting_.empty(); }
    int count() const { return count_; }
    // Gives every file held back its own name, in order. Throws WriteError
    // when a name is taken already.
    void release();

private:
    void whole(const std::string& path);

    std::string root_;
    int count_ = 0;
    bool heldBack_ = false;
    std::vector<std::string> waiting_;
    bool hashKept_ = false;
    std::vector<Hashed> hashed_;
};

} // namespace glimmet
