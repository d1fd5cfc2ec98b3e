#include "Check.h"

#include <cstdio>
#include <exception>
#include <fcntl.h>
#include <io.h>

namespace check {

namespace {

struct Case {
    const char* name;
    TestFunction run;
};

std::vector<Case>& Cases() {
    static std::vector<Case> cases;
    return cases;
}

std::vector<std::string> rows;
int failures = 0;

} // namespace

void Register(const char* name, TestFunction run) {
    Cases().push_back({name, run});
}

void Fail(const char* file, int line, const std::string& what) {
    ++failures;
    std::string where;
    for (const std::string& row : rows)
        where += " [" + row + "]";
    std::printf("    %s:%d:%s %s\n", file, line, where.c_str(), what.c_str());
    std::fflush(stdout);
}

std::string Printable(const std::string& text) {
    std::string shown;
    for (const unsigned char c : text) {
        if (c == '\n')
            shown += "\\n";
        else if (c == '\r')
            shown += "\\r";
        else if (c == '\t')
            shown += "\\t";
        else if (c == '"' || c == '\\')
            shown += std::string("\\") + static_cast<char>(c);
        else if (c < 32 || c >= 127) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            shown += hex;
        } else
            shown += static_cast<char>(c);
    }
    return shown;
}

Row::Row(std::string name) {
    rows.push_back(std::move(name));
}

Row::~Row() {
    rows.pop_back();
}

} // namespace check

// Runs every case, or those whose names contain the first argument.
int main(int argc, char** argv) {
    // Plain line feeds, so that the closing line reads the same on Linux.
    _setmode(_fileno(stdout), _O_BINARY);
    const std::string filter = argc > 1 ? argv[1] : "";
    int passed = 0;
    int failed = 0;
    for (const check::Case& test : check::Cases()) {
        if (!filter.empty() && std::string(test.name).find(filter) == std::string::npos)
            continue;
        std::printf("%s\n", test.name);
        std::fflush(stdout);
        const int before = check::failures;
        try {
            test.run();
        } catch (const std::exception& e) {
            check::Fail(__FILE__, __LINE__, std::string("exception: ") + e.what());
        } catch (...) {
            check::Fail(__FILE__, __LINE__, "unknown exception");
        }
        if (check::failures == before)
            ++passed;
        else {
            ++failed;
            std::printf("  FAILED %s\n", test.name);
        }
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}
