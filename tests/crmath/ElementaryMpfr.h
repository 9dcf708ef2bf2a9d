// MPFR for the tests of the elementary functions: numbers, the exact value
// of a case and its rounding to the nearest double, MpFloat as MPFR.
#pragma once

#include <gmp.h>
#include <mpfr.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <string>

#include "crmath/MultiPrecision.h"
#include "tests/crmath/ElementaryCases.h"

namespace elementary_test {

class Big {
public:
    explicit Big(mpfr_prec_t bits) { mpfr_init2(m_v, bits); }
    ~Big() { mpfr_clear(m_v); }
    Big(const Big&) = delete;
    Big& operator=(const Big&) = delete;
    mpfr_ptr get() { return m_v; }

private:
    mpfr_t m_v;
};

// f of the case into out, rounded to out's precision; the ternary value.
inline int Apply(const Case& c, mpfr_ptr out) {
    Big x(53), y(53);
    mpfr_set_d(x.get(), c.x, MPFR_RNDN);
    mpfr_set_d(y.get(), c.y, MPFR_RNDN);
    switch (c.f) {
        case kSin:
            return mpfr_sin(out, x.get(), MPFR_RNDN);
        case kCos:
            return mpfr_cos(out, x.get(), MPFR_RNDN);
        case kTan:
            return mpfr_tan(out, x.get(), MPFR_RNDN);
        case kAtan:
            return mpfr_atan(out, x.get(), MPFR_RNDN);
        case kAtan2:
            return mpfr_atan2(out, x.get(), y.get(), MPFR_RNDN);
        case kLog10:
            return mpfr_log10(out, x.get(), MPFR_RNDN);
        default:
            return mpfr_pow(out, x.get(), y.get(), MPFR_RNDN);
    }
}

// v rounded to the nearest double, with gradual underflow and overflow.
inline double RoundToDouble(mpfr_ptr v) {
    if (mpfr_regular_p(v) && mpfr_get_exp(v) <= -1074) {
        // Below 2^-1074, beneath MPFR's emulated range: above half of it
        // rounds up, half of it (a tie) and less to zero.
        Big half(8);
        mpfr_set_ui_2exp(half.get(), 1, -1075, MPFR_RNDN);
        const double r = mpfr_cmpabs(v, half.get()) > 0 ? 0x1p-1074 : 0.0;
        return mpfr_signbit(v) ? -r : r;
    }
    mpfr_set_emin(-1073);
    mpfr_set_emax(1024);
    Big r(53);
    const int t = mpfr_set(r.get(), v, MPFR_RNDN);
    mpfr_subnormalize(r.get(), t, MPFR_RNDN);
    const double d = mpfr_get_d(r.get(), MPFR_RNDN);
    mpfr_set_emin(mpfr_get_emin_min());
    mpfr_set_emax(mpfr_get_emax_max());
    return d;
}

// The exact value rounded to the nearest double, with gradual underflow.
inline double Correct(const Case& c) {
    mpfr_set_emin(-1073);
    mpfr_set_emax(1024);
    Big r(53);
    const int t = Apply(c, r.get());
    mpfr_subnormalize(r.get(), t, MPFR_RNDN);
    const double d = mpfr_get_d(r.get(), MPFR_RNDN);
    mpfr_set_emin(mpfr_get_emin_min());
    mpfr_set_emax(mpfr_get_emax_max());
    return d;
}

inline bool SameBits(double a, double b) {
    return (a != a && b != b) || std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

inline std::string Show(const Case& c) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "%s(%a, %a)", Name(c.f), c.x, c.y);
    return buf;
}

// out = v exactly; out needs 32 v.n bits or more.
inline void ToMpfr(const crmath::detail::MpFloat& v, mpfr_ptr out) {
    if (v.zero) {
        mpfr_set_zero(out, 1);
        return;
    }
    mpz_t z;
    mpz_init(z);
    mpz_import(z, static_cast<std::size_t>(v.n), 1, sizeof(std::uint32_t), 0, 0, v.w.data());
    mpfr_set_z_2exp(out, z, v.exponent - 32 * v.n, MPFR_RNDN);
    mpz_clear(z);
    if (v.negative) mpfr_neg(out, out, MPFR_RNDN);
}

}  // namespace elementary_test
