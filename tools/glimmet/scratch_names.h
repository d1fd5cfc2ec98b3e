#pragma once

#include "scratch_output.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace glimmet {

// The scratch files of one run, ROOT-NNN.ext numbered on from the run's
// first number. Each is written under a working name and takes its own
// name only when whole, so nobody sees half an image, not even from a tool
// that was killed. A number is taken only by a file written whole.
class ScratchNames {
public:
    // `firstNumber` counts from 1, as the program numbers files.
    ScratchNames(std::string root, int firstNumber, bool hashKept)
        : root_(std::move(root)), next_(firstNumber), hashKept_(hashKept) {}

    // A file that took its name.
    struct Whole {
        int number;       // from 1, as the program numbers files
        std::string name; // in the root's folder
        std::uint64_t size;
        std::string sha256; // of the document's own bytes, when hashed; else empty
    };
    void onWhole(std::function<void(const Whole&)> told) { told_ = std::move(told); }

    // Writes the run's next file, with `extension`: `fill` writes its
    // contents, and the file takes its number once that is done. Throws
    // WriteError, or whatever `fill` throws; the file is then never shown.
    // A file of the document's own bytes (`kept`) is hashed when asked.
    void write(const char* extension, const std::function<void(ScratchOutput&)>& fill,
               bool kept = false);

    int nextNumber() const { return next_; }

    // Writes `bytes` whole beside file `number`, under its name with
    // `extension`; returns the name, in the root's folder. Throws WriteError.
    std::string writeBeside(int number, const char* extension, const std::string& bytes);

private:
    std::string root_;
    int next_;
    bool hashKept_;
    std::function<void(const Whole&)> told_;
};

} // namespace glimmet
