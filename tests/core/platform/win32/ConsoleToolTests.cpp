#include "Check.h"
#include "Support.h"
#include "platform/ConsoleTool.h"
#include "platform/Files.h"

#include <thread>
#include <windows.h>

using namespace std::chrono_literals;
using platform::RunConsoleTool;
using Arguments = std::vector<std::string>;

namespace {

std::string Stub(const Arguments& arguments, std::chrono::milliseconds timeout = 30000ms) {
    return RunConsoleTool(support::StubPath(), arguments, support::TestFolder(), timeout);
}

// What the stand-in prints for its arguments, under both parsers.
std::string Echoed(const Arguments& arguments) {
    std::string list;
    for (const std::string& argument : arguments)
        list += "[" + argument + "]\n";
    const std::string count = std::to_string(arguments.size()) + "\n";
    return "crt " + count + list + "shell " + count + list;
}

std::string Pattern(std::size_t n) {
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string text;
    for (std::size_t i = 0; i < n; ++i)
        text += digits[i % 36];
    return text;
}

bool IsOneLine(const std::string& text) {
    return !text.empty() && text.back() == '\n' && text.find('\n') == text.size() - 1;
}

ULONGLONG Elapsed(ULONGLONG since) {
    return GetTickCount64() - since;
}

} // namespace

TEST(RunnerReturnsEverythingInOrder) {
    struct Case {
        const char* name;
        Arguments arguments;
        std::string expected;
    };
    const Case cases[] = {
        {"nothing printed", {"silent"}, ""},
        {"one byte", {"print", "1"}, Pattern(1)},
        {"1000 bytes", {"print", "1000"}, Pattern(1000)},
        {"more than a pipe holds", {"print", "300000"}, Pattern(300000)},
        {"standard error interleaved", {"mixed"}, "out 1\nerr 1\nout 2\nerr 2\n"},
        {"NUL byte kept", {"nul"}, std::string("a\0b\n", 4)},
        {"input is empty, not waited for", {"read-input"}, "input 0\n"},
    };
    for (const Case& c : cases) {
        ROW(c.name);
        CHECK_EQ(Stub(c.arguments), c.expected);
    }
}

TEST(RunnerPassesEveryArgumentIntact) {
    const Arguments hostile{
        "x & touch pwned",
        "x & echo pwned> pwned.txt",
        "pa ss \"wo'rd\" & | < > ^ % !",
        "%TEMP%",
        "^&^|",
        "\"",
        "\"\"",
        "",
        " ",
        "\ttab",
        "back\\slash",
        "trailing\\",
        "trailing\\\\",
        "\\\"",
        "a\\\\\"b",
        "\\\\server\\share\\a b.pdf",
        "C:\\Program Files\\Tessaly\\Arvenzo\\",
        "new\nline",
    };
    support::ScratchFolder work;
    for (const std::string& argument : hostile) {
        ROW(argument);
        CHECK_EQ(RunConsoleTool(support::StubPath(), {"args", argument}, work.Path()),
                 Echoed({argument}));
    }
    {
        ROW("all at once");
        Arguments all{"args"};
        all.insert(all.end(), hostile.begin(), hostile.end());
        CHECK_EQ(RunConsoleTool(support::StubPath(), all, work.Path()), Echoed(hostile));
    }
    // Nothing ran but the tool: no command interpreter made a file.
    CHECK_EQ(platform::ListFiles(work.Path(), "*.*"), std::vector<std::string>{});
    CHECK(!platform::FolderExists(work / "pwned"));
}

TEST(RunnerFindsToolsInTheWorkingFolder) {
    support::ScratchFolder work;
    CHECK(support::CopyTo(support::StubPath(), work / "glimmet.bin"));
    CHECK(support::CopyTo(support::StubPath(), work / "vellam.exe"));
    const std::string folderWithSeparator = work.Path() + "\\";
    CHECK_EQ(RunConsoleTool("glimmet.bin", {"args", "-p", "1"}, folderWithSeparator),
             Echoed({"-p", "1"}));
    CHECK_EQ(RunConsoleTool("vellam", {"args"}, work.Path()), Echoed({}));
    CHECK_EQ(RunConsoleTool("glimmet.bin", {"cwd"}, work.Path()), work.Path() + "\n");
    // The system's own search still finds system tools.
    CHECK(RunConsoleTool("reg", {"query", "HKLM\\Software"}, work.Path())
              .find("HKEY_LOCAL_MACHINE") != std::string::npos);
}

TEST(RunnerComplainsInOneLineWhenAToolCannotStart) {
    support::ScratchFolder work;
    support::WriteFile(work / "broken.bin", "not a program");
    struct Case {
        const char* name;
        std::string program;
        std::string folder;
    };
    const Case cases[] = {
        {"missing, full path", work / "vellam.bin", work.Path()},
        {"missing, bare name", "vellam.bin", work.Path()},
        {"not a program", work / "broken.bin", work.Path()},
        {"working folder missing", support::StubPath(), work / "gone"},
        {"empty name", "", work.Path()},
    };
    for (const Case& c : cases) {
        ROW(c.name);
        const std::string output = RunConsoleTool(c.program, {"silent"}, c.folder);
        CHECK(output.starts_with("'" + c.program + "' could not be started: "));
        CHECK(IsOneLine(output));
    }
}

TEST(RunnerNamesAnAbnormalEnd) {
    struct Case {
        const char* name;
        Arguments arguments;
        std::string expected;
    };
    const std::string stub = "'" + support::StubPath() + "'";
    const Case cases[] = {
        {"success", {"exit", "0"}, ""},
        {"failure code", {"exit", "1"}, ""},
        {"minus one", {"exit", "0xFFFFFFFF"}, ""},
        {"access violation",
         {"crash"},
         stub + " was ended by exception 0xC0000005 (access violation)\n"},
        {"failed check",
         {"exit", "0xC0000409"},
         stub + " was ended by exception 0xC0000409 (stopped by a failed run-time check)\n"},
    };
    for (const Case& c : cases) {
        ROW(c.name);
        const std::string output = Stub(c.arguments);
        if (c.arguments[0] == "crash") {
            // What the tool printed comes first; a system debugger may add
            // its report in between.
            CHECK(output.starts_with("before\n"));
            CHECK(output.ends_with(c.expected));
        } else {
            CHECK_EQ(output, c.expected);
        }
    }
}

TEST(RunnerEndsAToolThatOutlivesItsTimeout) {
    const ULONGLONG start = GetTickCount64();
    const std::string output = Stub({"sleep", "20000"}, 1000ms);
    CHECK(Elapsed(start) < 10000);
    CHECK_EQ(output, "sleeping\n'" + support::StubPath() +
                         "' did not finish within 1 seconds and was ended\n");
    // Within its time a tool runs to its end.
    CHECK_EQ(Stub({"sleep", "200"}, 10000ms), std::string("sleeping\nwoke\n"));
}

TEST(RunnerDoesNotWaitForWhatTheToolLeftRunning) {
    const ULONGLONG start = GetTickCount64();
    CHECK_EQ(Stub({"spawn-sleeper", "8000"}), std::string("parent done\n"));
    CHECK(Elapsed(start) < 6000);
}

TEST(RunnerCallsAtOnceKeepTheirOutputsApart) {
    std::vector<std::string> outputs(4);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < outputs.size(); ++t)
        threads.emplace_back([t, &outputs] {
            for (int i = 0; i < 5; ++i)
                outputs[t] += Stub({"args", "call " + std::to_string(t)});
        });
    for (std::thread& thread : threads)
        thread.join();
    for (std::size_t t = 0; t < outputs.size(); ++t) {
        ROW("thread " + std::to_string(t));
        std::string expected;
        for (int i = 0; i < 5; ++i)
            expected += Echoed({"call " + std::to_string(t)});
        CHECK_EQ(outputs[t], expected);
    }
}

// A tool talked with reads what it is sent and answers line by line; one
// that crashes says so as it ends.
TEST(SessionTalksLineByLine) {
    struct Case {
        const char* name;
        Arguments arguments;
        std::vector<std::string> lines;
        const char* note;
    };
    const Case cases[] = {
        {"answers each line", {"echo-lines"}, {"got a b", "got c"}, ""},
        {"a crash is told", {"crash"}, {"before"}, "access violation"},
    };
    for (const Case& c : cases) {
        ROW(c.name);
        platform::ToolSession session(support::StubPath(), c.arguments, support::TestFolder());
        session.Send("a b\nc\n");
        session.EndInput();
        std::vector<std::string> got;
        for (std::string line; session.NextLine(line);)
            got.push_back(line);
        CHECK(got == c.lines);
        CHECK(session.EndNote().find(c.note) != std::string::npos);
    }
}
