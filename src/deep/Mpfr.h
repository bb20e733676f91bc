// A minimal owning handle for one MPFR number.
#pragma once

#include <mpfr.h>

namespace deep {

namespace detail {
// MPFR keeps the constants it computes (log 2 for conversions, among others)
// in caches of the thread that asked; a thread that ends would leave them
// behind. The first number made on a thread has them released at its end.
struct ThreadCacheRelease {
    ~ThreadCacheRelease() { mpfr_free_cache2(MPFR_FREE_LOCAL_CACHE); }
};
inline void ReleaseCachesAtThreadEnd()
{
    thread_local ThreadCacheRelease release;
    (void)release;
}
} // namespace detail

class Mpfr {
public:
    explicit Mpfr(mpfr_prec_t bits)
    {
        detail::ReleaseCachesAtThreadEnd();
        mpfr_init2(value_, bits);
        mpfr_set_zero(value_, 1);
    }
    Mpfr(const Mpfr& other)
    {
        detail::ReleaseCachesAtThreadEnd();
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
