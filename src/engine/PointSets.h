// TBasicSet, the six point-set formulas and the two step-counting value functions.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/Triple.h"

namespace engine {

// The parameter triple every calculation passes to SetValues unless its
// window was given another.
inline constexpr TTriple kCalcParam{2.0L, 2.1L, 2.2L};

// The iteration limit of CountTamoSet, CountJuliaSet and LevelSetKernel: the
// catalogue's, and the range a window may be given.
inline constexpr std::int32_t kDefaultIterationLimit = 200;
inline constexpr std::int32_t kMinIterationLimit = 1;
inline constexpr std::int32_t kMaxIterationLimit = 10000000;

class TBasicSet {
public:
    TTriple Current{};
    TTriple Param{};
    // The window's parameters, carried to every clone: the triple a
    // calculation passes to SetValues, and the limit of the counts.
    TTriple CalcParam = kCalcParam;
    std::int32_t IterationLimit = kDefaultIterationLimit;

    virtual ~TBasicSet() = default;
    virtual void SetValues(TTriple AParam, TTriple AStart);
    virtual void Get(TTriple& ANext) = 0;
    // A fresh object of the same class carrying the same constants, for
    // calculations that evaluate several points at once.
    virtual std::unique_ptr<TBasicSet> Clone() const = 0;

protected:
    template <class T>
    std::unique_ptr<T> CloneAs() const
    {
        auto s = std::make_unique<T>();
        s->CalcParam = CalcParam;
        s->IterationLimit = IterationLimit;
        return s;
    }
};

class TTamo1Set : public TBasicSet {
public:
    void Get(TTriple& ANext) override;
    std::unique_ptr<TBasicSet> Clone() const override { return CloneAs<TTamo1Set>(); }
};

class TTamo2Set : public TBasicSet {
public:
    void Get(TTriple& ANext) override;
    std::unique_ptr<TBasicSet> Clone() const override { return CloneAs<TTamo2Set>(); }
};

class TTamo3Set : public TBasicSet {
public:
    TTriple Prev1{};
    TTriple Prev2{};
    void SetValues(TTriple AParam, TTriple AStart) override;
    void Get(TTriple& ANext) override;
    std::unique_ptr<TBasicSet> Clone() const override { return CloneAs<TTamo3Set>(); }

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
    std::unique_ptr<TBasicSet> Clone() const override { return CloneAs<TTamo4Set>(); }
};

class TTamo5Set : public TTamo3Set {
public:
    void Get(TTriple& ANext) override;
    std::unique_ptr<TBasicSet> Clone() const override { return CloneAs<TTamo5Set>(); }
};

class TJUSet : public TTamo3Set {
public:
    TTriple JuliaConst{};
    void Get(TTriple& ANext) override;
    std::unique_ptr<TBasicSet> Clone() const override
    {
        auto s = CloneAs<TJUSet>();
        s->JuliaConst = JuliaConst;
        return s;
    }
};

// A value function takes the set object with its point loaded and returns the
// value whose low 8 bits become the cell.
using TValueFunction = std::int32_t (*)(TBasicSet& ASet);

std::int32_t CountTamoSet(TBasicSet& ASet);
std::int32_t CountJuliaSet(TBasicSet& ASet);

} // namespace engine
