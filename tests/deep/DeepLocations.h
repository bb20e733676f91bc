// Deep places of the level-set and Julia pictures shared by the deep engine's tests.
#pragma once

#include <string>

#include "deep/DeepRegion.h"

namespace deeptest {

// Boundary points found by bisection in MPFR to 310 digits between a
// point that escapes and one that stays for 8000 steps. Seahorse valley of
// the level-set picture (counts of several thousand, slow dynamics):
inline const std::string kSeahorseIn =
    "-0.7499998682803159890062167801937551049946986918000958816286235105241160241023315349027100774246567907818571683606830059507193429562028258800395655349488479840279853861640392450779778090576003089351553018736122770761221547061331609025334836408803955002398869949476061889959927302868555465516686888664589462810565752001";
// The escaping side of the same bisection: its own orbit ends before the
// pixels around it do, so they must rebase at the orbit's end.
inline const std::string kSeahorseOut =
    "-0.7499998682803159890062167801937551049946986918000958816286235105241160241023315349027100774246567907818571683606830059507193429562028258800395655349488479840279853861640392450779778090576003089351553018736122770761221547061331609025334836408803955002398869949476061889959927302868555465516686888664589462810565752137";
// The nucleus of a minibrot of period 4025 in the same valley, found by
// Newton's method in MPFR from a point at 0.0016i whose count is near 5000
// (its period the first n at which the orbit of a disc of radius 10^-30
// around that point surrounds 0). At a width of 10^-30 the minibrot sits in
// the middle, its neighbourhood counts about 4000 to 8000.
inline const std::string kMinibrotX =
    "-0.7499998389490612334135649283764283658082438173364154073235268589581426797407995562427598129756883250426059495";
inline const std::string kMinibrotY =
    "0.0016000000000000000000000000009427577128991383638037358941573216393615844686365369367470527817233011565586893";
// The boundary of the Julia set of c = -0.12 + 0.74i (Julia Set 3) on the real axis.
inline const std::string kRabbitBoundary =
    "0.3587622735558806796063955157641808804268764274571861756304978033564757880166408531080650765623137097649126005014814996929897550424013520241327108812061668391535495637061400515597030160989079154811940835965991184515880372894558305129917398403269398293931675561284385256354004988506957013629299648548873939738091446520";

// The decimal truncated to about depth + 16 significant digits: exact
// enough to stay in the same place at a width of 10^-depth.
inline std::string AtDepth(const std::string& decimal, int depth)
{
    return decimal.substr(0, static_cast<std::size_t>(depth) + 18);
}

inline std::string Width(int depth) { return "1e-" + std::to_string(depth); }

} // namespace deeptest
