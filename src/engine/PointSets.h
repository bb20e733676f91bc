// TBasicSet, the six point-set formulas and the two step-counting value functions.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/Triple.h"

namespace engine {

class TBasicSet {
public:
    TTriple Current{};
    TTriple Param{};

    virtual ~TBasicSet() = default;
    virtual void SetValues(TTriple AParam, TTriple AStart);
    virtual void Get(TTriple& ANext) = 0;
    // A fresh object of the same class carrying the same constants, for
    // calculations that evaluate several points at once.
    virtual std::unique_ptr<TBasicSet> Clone() const = 0;
};

class TTamo1Set : public TBasicSet {
public:
    void Get(TTriple& ANext) override;
    std::unique_ptr<TBasicSet> Clone() const override { return std::make_unique<TTamo1Set>(); }
};

class TTamo2Set : public TBasicSet {
public:
    void Get(TTriple& ANext) override;
    std::unique_ptr<TBasicSet> Clone() const override { return std::make_unique<TTamo2Set>(); }
};

class TTamo3Set : public TBasicSet {
public:
    TTriple Prev1{};
    TTriple Prev2{};
    void SetValues(TTriple AParam, TTriple AStart) override;
    void Get(TTriple& ANext) override;
    std::unique_ptr<TBasicSet> Clone() const override { return std::make_unique<TTamo3Set>(); }

protected:
    void PushHistory(const TTriple& before)
    {
        Prev2 = Prev1;
        Prev1 = before;
    }
};

class TTamo4Set : public TTamo3Set {
public:
    void Get(TTriple& ANext) override;
    std::unique_ptr<TBasicSet> Clone() const override { return std::make_unique<TTamo4Set>(); }
};

class TTamo5Set : public TTamo3Set {
public:
    void Get(TTriple& ANext) override;
    std::unique_ptr<TBasicSet> Clone() const override { return std::make_unique<TTamo5Set>(); }
};

class TJUSet : public TTamo3Set {
public:
    TTriple JuliaConst{};
    void Get(TTriple& ANext) override;
    std::unique_ptr<TBasicSet> Clone() const override
    {
        auto s = std::make_unique<TJUSet>();
        s->JuliaConst = JuliaConst;
        return s;
    }
};

// A value function takes the set object with its point loaded and returns the
// value whose low 8 bits become the cell.
using TValueFunction = std::int32_t (*)(TBasicSet& ASet);

std::int32_t CountTamoSet(TBasicSet& ASet);
std::int32_t CountJuliaSet(TBasicSet& ASet);

// The parameter triple every calculation passes to SetValues.
inline constexpr TTriple kCalcParam{2.0L, 2.1L, 2.2L};

} // namespace engine
