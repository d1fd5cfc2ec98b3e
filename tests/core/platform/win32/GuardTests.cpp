#include "Check.h"
#include "Support.h"
#include "platform/ConsoleTool.h"
#include "platform/InstanceGuard.h"

#include <windows.h>

using platform::InstanceGuard;

namespace {

// Each case its own name, so that a case that fails leaves nothing behind
// for the next.
std::string GuardName(const std::string& what) {
    return "ArvenzoTest-" + what + "-" + std::to_string(GetCurrentProcessId());
}

std::string TryInOtherProcess(const std::string& name) {
    return platform::RunConsoleTool(support::StubPath(), {"try-guard", name}, "",
                                    std::chrono::milliseconds{20000});
}

} // namespace

TEST(GuardRefusesASecondHolderUntilReleased) {
    const std::string name = GuardName("release");
    InstanceGuard first(name);
    CHECK(first.Acquired());
    {
        InstanceGuard second(name);
        CHECK(!second.Acquired());
        // A refused guard must not have taken the first one's mutex along.
        second.Release();
    }
    CHECK_EQ(TryInOtherProcess(name), std::string("refused\n"));
    InstanceGuard other(GuardName("other"));
    CHECK(other.Acquired());

    first.Release();
    CHECK(!first.Acquired());
    InstanceGuard third(name);
    CHECK(third.Acquired());
}

TEST(GuardIsFreedWhenItsProcessEnds) {
    struct Ending {
        const char* name;
        bool kill; // else the holder exits by itself, never releasing
    };
    for (const Ending& ending : {Ending{"killed", true}, Ending{"exits", false}}) {
        ROW(ending.name);
        const std::string name = GuardName(ending.name);
        const std::string ready = name + "-ready";
        const std::string quit = name + "-quit";
        HANDLE readyEvent = CreateEventA(nullptr, TRUE, FALSE, ready.c_str());
        HANDLE quitEvent = CreateEventA(nullptr, TRUE, FALSE, quit.c_str());
        std::string line =
            "\"" + support::StubPath() + "\" hold-guard " + name + " " + ready + " " + quit;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION holder{};
        CHECK(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &holder));
        CHECK_EQ(WaitForSingleObject(readyEvent, 20000), static_cast<DWORD>(WAIT_OBJECT_0));

        CHECK(!InstanceGuard(name).Acquired());
        if (ending.kill)
            TerminateProcess(holder.hProcess, 9);
        else
            SetEvent(quitEvent);
        CHECK_EQ(WaitForSingleObject(holder.hProcess, 20000), static_cast<DWORD>(WAIT_OBJECT_0));
        CHECK(InstanceGuard(name).Acquired());

        CloseHandle(holder.hThread);
        CloseHandle(holder.hProcess);
        CloseHandle(readyEvent);
        CloseHandle(quitEvent);
    }
}
