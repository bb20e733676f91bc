// Plain MPFR iteration of the level-set and Julia counts.
#include "deep/Direct.h"

namespace deep {

std::int32_t DirectCount(const Mapping& mapping, const FormulaParams& params, int column, int row, mpfr_prec_t bits)
{
    Mpfr px(bits), py(bits), x(bits), y(bits), u(bits), v(bits), t(bits);
    mapping.Point(column, row, px, py);
    std::int32_t n = 0;
    if (params.formula == Formula::LevelSet) {
        // y := (x·2)·y + py; x := (u − v) + px; u := x·x; v := y·y.
        while (n < params.limit) {
            mpfr_add(t.get(), u.get(), v.get(), MPFR_RNDN);
            if (mpfr_cmp_ui(t.get(), 10000) >= 0)
                break;
            mpfr_mul_2ui(t.get(), x.get(), 1, MPFR_RNDN);
            mpfr_mul(y.get(), t.get(), y.get(), MPFR_RNDN);
            mpfr_add(y.get(), y.get(), py.get(), MPFR_RNDN);
            mpfr_sub(x.get(), u.get(), v.get(), MPFR_RNDN);
            mpfr_add(x.get(), x.get(), px.get(), MPFR_RNDN);
            mpfr_sqr(u.get(), x.get(), MPFR_RNDN);
            mpfr_sqr(v.get(), y.get(), MPFR_RNDN);
            ++n;
        }
        return n;
    }
    Mpfr cx(bits), cy(bits);
    mpfr_set_ld(cx.get(), params.juliaX, MPFR_RNDN);
    mpfr_set_ld(cy.get(), params.juliaY, MPFR_RNDN);
    mpfr_set(x.get(), px.get(), MPFR_RNDN);
    mpfr_set(y.get(), py.get(), MPFR_RNDN);
    // X' = (X·X − Y·Y) + C.X, Y' = ((X·2)·Y) + C.Y; the test is on each new
    // iterate, never on the start point.
    while (n < params.limit) {
        mpfr_sqr(u.get(), x.get(), MPFR_RNDN);
        mpfr_sqr(v.get(), y.get(), MPFR_RNDN);
        mpfr_mul_2ui(t.get(), x.get(), 1, MPFR_RNDN);
        mpfr_mul(y.get(), t.get(), y.get(), MPFR_RNDN);
        mpfr_add(y.get(), y.get(), cy.get(), MPFR_RNDN);
        mpfr_sub(x.get(), u.get(), v.get(), MPFR_RNDN);
        mpfr_add(x.get(), x.get(), cx.get(), MPFR_RNDN);
        ++n;
        mpfr_add(t.get(), x.get(), y.get(), MPFR_RNDN);
        if (!mpfr_number_p(t.get()) || mpfr_cmp_d(t.get(), 25.5) >= 0 || mpfr_cmp_d(t.get(), -25.5) <= 0)
            break;
    }
    return n;
}

} // namespace deep
