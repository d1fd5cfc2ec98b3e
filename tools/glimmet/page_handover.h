#pragma once

#include "scratch_names.h"

#include <cstdio>
#include <optional>

namespace glimmet {

// The descriptor named in `variable` (contract::kGoVariable or
// contract::kPageVariable); none when the variable is unset or not a
// descriptor number.
std::optional<int> descriptorIn(const char* variable);

// Waits for the program to close the go descriptor `fd`, then closes it.
void awaitGo(int fd);

// Hands the pages of a run over one by one. A page's files wait for the
// page's go unless it came before the page began, and ask for it when it
// does not come; a page without files owes its go, which is taken before
// any later page's files are named. A page is said done once its files
// have their names, with how many there are and how many bytes the run has
// printed so far, so that the program knows which lines are the page's.
// The end of the go descriptor means the program wants no more pages.
class PageHandover {
public:
    // Counts what the run prints from now on, on standard output and error.
    PageHandover(int go, int done);
    ~PageHandover();
    PageHandover(const PageHandover&) = delete;
    PageHandover& operator=(const PageHandover&) = delete;

    // The page's files wait for release() unless its go is there.
    void begin(ScratchNames& names);
    // The page's files take their names once the program has said go. False
    // when the program wants no more pages; a name refused is said on
    // standard error and sets `failed`.
    bool release(ScratchNames& names, bool& failed);
    // Says page `page` done. False when the program no longer listens.
    bool report(const ScratchNames& names, int page);

private:
    bool takeGo();
    // Tells the program a go is awaited; false when it no longer listens.
    bool askForGo();
    // A stream on `fd` that counts what goes through it.
    FILE* counted(int fd);

    struct Output {
        int fd = -1;
        unsigned long long* printed = nullptr;
    };
    int go_;
    int done_;
    int owed_ = 0;
    int named_ = 0;
    bool lastHadFiles_ = true; // the page before named files, or there was none
    unsigned long long printed_ = 0;
    Output stdout_;
    Output stderr_;
    FILE* out_ = nullptr;
    FILE* err_ = nullptr;
};

} // namespace glimmet
