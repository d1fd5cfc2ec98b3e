#include "Check.h"
#include "Support.h"
#include "platform/Files.h"
#include "platform/Shell.h"

#include <windows.h>

// Without the seam the shell itself starts the target: a copy of the
// stand-in tool, which leaves a mark beside itself.
TEST(ShellStartsAProgramItIsHanded) {
    support::ScratchFolder folder;
    const std::string program = folder / "Quorrin Pro.exe";
    CHECK(support::CopyTo(support::StubPath(), program));
    platform::SetShellOpener({});
    platform::OpenWithShell(program);
    bool marked = false;
    for (int i = 0; i < 200 && !marked; ++i) {
        marked = platform::FileExists(program + ".ran");
        if (!marked)
            Sleep(50);
    }
    CHECK(marked);
    Sleep(200); // let the copy end before its folder goes
}
