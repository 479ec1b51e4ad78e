// Every call the game makes to atan, sin and cos, with its argument and result as bits, in the
// order made, to libm-calls.txt in the working folder: linked into quelvane-replay natively and
// for node with --wrap for the C library's (and their float twins) and for the game's own
// (game/core/PortableMath), so that each build's results are held against the other's call for
// call.
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

std::FILE* log() {
    static std::FILE* file = std::fopen("libm-calls.txt", "w");
    return file;
}

uint64_t bits(double v) {
    uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

void note(const char* name, double argument, double result) {
    if (std::FILE* file = log()) {
        std::fprintf(file, "%s %016llx %016llx\n", name,
                     static_cast<unsigned long long>(bits(argument)),
                     static_cast<unsigned long long>(bits(result)));
    }
}

}  // namespace

// One wrapper of a function of one argument: the real call, logged under the name given.
#define LOGGED(type, symbol, name)         \
    type __real_##symbol(type);            \
    type __wrap_##symbol(type x) {         \
        const type r = __real_##symbol(x); \
        note(name, x, r);                  \
        return r;                          \
    }

// A compiler may turn a sin and a cos of one angle into one sincos: logged as the two calls.
#define LOGGED_SINCOS(type, symbol, sinName, cosName) \
    void __real_##symbol(type, type*, type*);         \
    void __wrap_##symbol(type x, type* s, type* c) {  \
        __real_##symbol(x, s, c);                     \
        note(sinName, x, *s);                         \
        note(cosName, x, *c);                         \
    }

extern "C" {

LOGGED(double, atan, "atan")
LOGGED(double, sin, "sin")
LOGGED(double, cos, "cos")
LOGGED_SINCOS(double, sincos, "sin", "cos")
LOGGED(float, atanf, "atanf")
LOGGED(float, sinf, "sinf")
LOGGED(float, cosf, "cosf")
LOGGED_SINCOS(float, sincosf, "sinf", "cosf")
// The game's own: quelvane::portable::atan, sin and cos.
LOGGED(double, _ZN8quelvane8portable4atanEd, "portable::atan")
LOGGED(double, _ZN8quelvane8portable3sinEd, "portable::sin")
LOGGED(double, _ZN8quelvane8portable3cosEd, "portable::cos")

}  // extern "C"
