#include "platform/platform.h"

#include <fstream>
#include <pthread.h>
#include <sched.h>

namespace platform {

#ifdef __linux__

namespace {

// The processors that share `cpu`'s second-level cache, as sysfs tells.
std::vector<int> CacheSharers(int cpu) {
    const std::string base = "/sys/devices/system/cpu/cpu" + std::to_string(cpu) + "/cache/index";
    for (int index = 0; index < 8; ++index) {
        std::ifstream level(base + std::to_string(index) + "/level");
        int value = 0;
        if (!(level >> value))
            break;
        if (value != 2)
            continue;
        std::ifstream list(base + std::to_string(index) + "/shared_cpu_list");
        std::string text;
        std::getline(list, text);
        return ProcessorList(text);
    }
    return {cpu};
}

} // namespace

struct ProcessorBinding::Impl {
    cpu_set_t before;
    bool bound = false;
};

ProcessorBinding::ProcessorBinding() : impl_(std::make_unique<Impl>()) {
    const int cpu = sched_getcpu();
    if (cpu < 0 ||
        pthread_getaffinity_np(pthread_self(), sizeof impl_->before, &impl_->before) != 0)
        return;
    cpu_set_t here;
    CPU_ZERO(&here);
    for (int sharer : CacheSharers(cpu))
        if (sharer < CPU_SETSIZE && CPU_ISSET(sharer, &impl_->before))
            CPU_SET(sharer, &here);
    if (CPU_COUNT(&here) == 0)
        return;
    impl_->bound = pthread_setaffinity_np(pthread_self(), sizeof here, &here) == 0;
}

ProcessorBinding::~ProcessorBinding() {
    if (impl_->bound)
        pthread_setaffinity_np(pthread_self(), sizeof impl_->before, &impl_->before);
}

#else

struct ProcessorBinding::Impl {};
ProcessorBinding::ProcessorBinding() = default;
ProcessorBinding::~ProcessorBinding() = default;

#endif

} // namespace platform
