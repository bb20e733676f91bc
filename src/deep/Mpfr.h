// A minimal owning handle for one MPFR number.
#pragma once

#include <mpfr.h>

namespace deep {

class Mpfr {
public:
    explicit Mpfr(mpfr_prec_t bits) { mpfr_init2(value_, bits); mpfr_set_zero(value_, 1); }
    Mpfr(const Mpfr& other)
    {
        mpfr_init2(value_, mpfr_get_prec(other.value_));
        mpfr_set(value_, other.value_, MPFR_RNDN);
    }
    Mpfr& operator=(const Mpfr& other)
    {
        if (this != &other) {
            mpfr_set_prec(value_, mpfr_get_prec(other.value_));
            mpfr_set(value_, other.value_, MPFR_RNDN);
        }
        return *this;
    }
    ~Mpfr() { mpfr_clear(value_); }

    mpfr_ptr get() { return value_; }
    mpfr_srcptr get() const { return value_; }
    mpfr_prec_t bits() const { return mpfr_get_prec(value_); }

private:
    mpfr_t value_;
};

} // namespace deep
