// Preloaded into a program under test: every name lookup waits for good, as
// it does on a machine whose resolver never answers.
#include <chrono>
#include <thread>

struct addrinfo;

extern "C" int getaddrinfo(const char*, const char*, const addrinfo*, addrinfo**) {
    for (;;)
        std::this_thread::sleep_for(std::chrono::hours(1));
}
