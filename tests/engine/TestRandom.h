// A small deterministic generator for the tests that build many inputs:
// the same seed gives the same cases on every platform and every run.
#pragma once

#include <cstdint>

class TestRandom {
public:
    explicit TestRandom(std::uint64_t seed) : m_nState(seed) {}

    // A number from 0 to n - 1.
    unsigned Pick(unsigned n)
    {
        m_nState = m_nState * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<unsigned>(m_nState >> 33) % n;
    }

private:
    std::uint64_t m_nState;
};
