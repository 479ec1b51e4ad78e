// Every call the game makes to atan, sin and cos, with its argument and result as bits, in the
// order made, to libm-calls.txt in the working folder: linked into quelvane-replay natively and
// for node with --wrap for the C library's (and their float twins) and for the game's own
// (game/core/PortableMath), so that each build's results are held against the other's call for
// call.
#include <cstdint>
#include <cstdio>
#include <cstring>

extern "C" {
double __real_atan(double);
double __real_sin(double);
double __real_cos(double);
void __real_sincos(double, double*, double*);
float __real_atanf(float);
float __real_sinf(float);
float __real_cosf(float);
void __real_sincosf(float, float*, float*);
double __real__ZN8quelvane8portable4atanEd(double);
double __real__ZN8quelvane8portable3sinEd(double);
double __real__ZN8quelvane8portable3cosEd(double);
}

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

extern "C" {

double __wrap_atan(double x) {
    const double r = __real_atan(x);
    note("atan", x, r);
    return r;
}

double __wrap_sin(double x) {
    const double r = __real_sin(x);
    note("sin", x, r);
    return r;
}

double __wrap_cos(double x) {
    const double r = __real_cos(x);
    note("cos", x, r);
    return r;
}

// A compiler may turn a sin and a cos of one angle into one sincos: logged as the two calls.
void __wrap_sincos(double x, double* s, double* c) {
    __real_sincos(x, s, c);
    note("sin", x, *s);
    note("cos", x, *c);
}

float __wrap_atanf(float x) {
    const float r = __real_atanf(x);
    note("atanf", x, r);
    return r;
}

float __wrap_sinf(float x) {
    const float r = __real_sinf(x);
    note("sinf", x, r);
    return r;
}

float __wrap_cosf(float x) {
    const float r = __real_cosf(x);
    note("cosf", x, r);
    return r;
}

void __wrap_sincosf(float x, float* s, float* c) {
    __real_sincosf(x, s, c);
    note("sinf", x, *s);
    note("cosf", x, *c);
}

// The game's own: quelvane::portable::atan, sin and cos.
double __wrap__ZN8quelvane8portable4atanEd(double x) {
    const double r = __real__ZN8quelvane8portable4atanEd(x);
    note("portable::atan", x, r);
    return r;
}

double __wrap__ZN8quelvane8portable3sinEd(double x) {
    const double r = __real__ZN8quelvane8portable3sinEd(x);
    note("portable::sin", x, r);
    return r;
}

double __wrap__ZN8quelvane8portable3cosEd(double x) {
    const double r = __real__ZN8quelvane8portable3cosEd(x);
    note("portable::cos", x, r);
    return r;
}

}  // extern "C"
