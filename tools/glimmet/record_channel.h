#pragma once

#include <string>
#include <vector>

namespace glimmet {

class PictureSieve;

// The tool's side of its one channel to the program (-records): records
// out on standard output, goes and the repeats table in on standard input.
class RecordChannel {
public:
    // Pictures the program hands over as seen go into `sieve`.
    explicit RecordChannel(PictureSieve& sieve) : sieve_(sieve) {}

    // Says one record. Records wait in the output buffer until flush().
    static void say(const char* label, const std::vector<std::string>& fields);
    // Hands what was said to the program.
    static void flush();

    // Waits until the program lets `page` begin. False once it wants no
    // more pages (the end of the input).
    bool awaitGo(int page);

private:
    // Reads what the program sent and takes its whole lines; false at the
    // end of the input.
    bool readMore();
    void take(const std::string& line);

    PictureSieve& sieve_;
    long long granted_ = 0;
    bool ended_ = false;
    std::string partial_;
};

} // namespace glimmet
