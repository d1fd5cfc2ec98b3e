// A small test runner for the Windows build, which has no Qt: TEST defines a
// case, CHECK and CHECK_EQ record failures, ROW names the table row that a
// failure belongs to.
#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace check {

using TestFunction = void (*)();

void Register(const char* name, TestFunction run);
void Fail(const char* file, int line, const std::string& what);
std::string Printable(const std::string& text);

inline std::string Show(const std::string& value) {
    return "\"" + Printable(value) + "\"";
}
inline std::string Show(const char* value) {
    return Show(std::string(value));
}
inline std::string Show(bool value) {
    return value ? "true" : "false";
}
template <typename T> std::string Show(const std::vector<T>& values) {
    std::string text = "{";
    for (const T& value : values)
        text += (text.size() > 1 ? ", " : "") + Show(value);
    return text + "}";
}
template <typename T> std::string Show(const T& value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

// Names the current table row in failure messages for as long as it lives.
class Row {
public:
    explicit Row(std::string name);
    ~Row();
    Row(const Row&) = delete;
    Row& operator=(const Row&) = delete;
};

struct Registrar {
    Registrar(const char* name, TestFunction run) { Register(name, run); }
};

} // namespace check

#define TEST(name)                                                                                 \
    static void name();                                                                            \
    static const check::Registrar name##Registrar(#name, name);                                    \
    static void name()

#define CHECK(condition)                                                                           \
    do {                                                                                           \
        if (!(condition))                                                                          \
            check::Fail(__FILE__, __LINE__, "CHECK(" #condition ")");                              \
    } while (false)

#define CHECK_EQ(actual, expected)                                                                 \
    do {                                                                                           \
        const auto& checkActual = (actual);                                                        \
        const auto& checkExpected = (expected);                                                    \
        if (!(checkActual == checkExpected))                                                       \
            check::Fail(__FILE__, __LINE__,                                                        \
                        #actual " is " + check::Show(checkActual) + ", expected " +                \
                            check::Show(checkExpected));                                           \
    } while (false)

#define ROW(name) const check::Row checkRow(name)
