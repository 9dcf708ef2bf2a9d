// Binary floating-point numbers of 4 or more words of 32 bits: the arithmetic
// of the accurate path of the elementary functions. Internal.
//
// A number is (-1)^negative * 0.w[0]w[1]...w[n-1] (base 2^32) * 2^exponent with
// w[0] >= 2^31, or zero. Every operation works at the word count n of its
// first operand and truncates: its result lies within 2^(2-32n) of the exact
// result of its operands, relative to the larger of the result and the
// operands (so a subtraction that cancels keeps an absolute, not a relative,
// error). The exponent is an int: no overflow or underflow in any use here.
#pragma once

#include <cassert>
#include <cstdint>
#include <cstring>

namespace crmath::detail {

// Words held in the number itself; longer numbers (the levels of Ziv's loop
// past 1024 bits) keep theirs on the heap.
inline constexpr int kMaxWords = 40;

// The words of an MpFloat, most significant first.
class MpWords {
public:
    MpWords() = default;
    MpWords(const MpWords& other) {
        if (other.m_heap == nullptr)
            std::memcpy(m_inline, other.m_inline, sizeof m_inline);
        else
            CopyHeap(other);
    }
    MpWords(MpWords&& other) noexcept { Take(other); }
    MpWords& operator=(const MpWords& other) {
        if (this == &other) return *this;
        if (other.m_heap == nullptr) {
            Free();
            std::memcpy(m_inline, other.m_inline, sizeof m_inline);
        } else {
            CopyHeap(other);
        }
        return *this;
    }
    MpWords& operator=(MpWords&& other) noexcept {
        if (this == &other) return *this;
        Free();
        Take(other);
        return *this;
    }
    ~MpWords() { delete[] m_heap; }

    // Room for `count` words; the first `keep` keep their values.
    void Reserve(int count, int keep) {
        if (count > m_capacity) Grow(count, keep);
    }
    int Capacity() const { return m_capacity; }

    std::uint32_t* data() { return m_words; }
    const std::uint32_t* data() const { return m_words; }
    std::uint32_t& operator[](int i) {
        assert(i >= 0 && i < m_capacity);
        return m_words[i];
    }
    std::uint32_t operator[](int i) const {
        assert(i >= 0 && i < m_capacity);
        return m_words[i];
    }

private:
    void CopyHeap(const MpWords& other);
    void Grow(int count, int keep);
    void Free() {
        delete[] m_heap;
        m_heap = nullptr;
        m_words = m_inline;
        m_capacity = kMaxWords;
    }
    // other's words into this (holding none on the heap); other keeps none.
    void Take(MpWords& other) {
        if (other.m_heap == nullptr) {
            std::memcpy(m_inline, other.m_inline, sizeof m_inline);
            return;
        }
        m_heap = other.m_heap;
        m_words = m_heap;
        m_capacity = other.m_capacity;
        other.m_heap = nullptr;
        other.m_words = other.m_inline;
        other.m_capacity = kMaxWords;
    }

    std::uint32_t m_inline[kMaxWords];
    std::uint32_t* m_heap = nullptr;
    std::uint32_t* m_words = m_inline;
    int m_capacity = kMaxWords;
};

struct MpFloat {
    int n = 4;
    bool negative = false;
    bool zero = true;
    int exponent = 0;
    MpWords w;
};

// a with n words: more are zeros, fewer truncate.
void MpResize(MpFloat& a, int n);

// count words of scratch space: on the stack up to Inline, else on the heap.
template <int Inline>
class MpScratch {
public:
    explicit MpScratch(int count) : m_p(count <= Inline ? m_stack : new std::uint32_t[count]) {}
    ~MpScratch() {
        if (m_p != m_stack) delete[] m_p;
    }
    MpScratch(const MpScratch&) = delete;
    MpScratch& operator=(const MpScratch&) = delete;
    std::uint32_t& operator[](int i) { return m_p[i]; }
    std::uint32_t* data() { return m_p; }

private:
    std::uint32_t m_stack[Inline];
    std::uint32_t* m_p;
};

MpFloat MpZero(int n);
// Exactly x (finite).
MpFloat MpFromDouble(double x, int n);
// sign * (the integer m) * 2^e, exactly.
MpFloat MpFromInteger(std::uint64_t m, int e, bool negative, int n);
// A constant of the tables, 0.words * 2^exponent, truncated to n words.
MpFloat MpFromWords(const std::uint32_t* words, int count, int exponent, int n);

MpFloat MpAdd(const MpFloat& a, const MpFloat& b);
MpFloat MpSub(const MpFloat& a, const MpFloat& b);
MpFloat MpMul(const MpFloat& a, const MpFloat& b);
MpFloat MpMulSmall(const MpFloat& a, std::uint32_t k);
MpFloat MpDivSmall(const MpFloat& a, std::uint32_t k);  // k > 0
// a / b, b nonzero; within 2^(6-32n) relative.
MpFloat MpDiv(const MpFloat& a, const MpFloat& b);
// sqrt(a), a >= 0; within 2^(6-32n) relative.
MpFloat MpSqrt(const MpFloat& a);
// a * 2^k, exactly.
MpFloat MpScale(MpFloat a, int k);
MpFloat MpNegate(MpFloat a);
// |a| compared with |b|: -1, 0, 1.
int MpCompareMagnitude(const MpFloat& a, const MpFloat& b);

// a rounded to the nearest double, ties to even, with gradual underflow and
// overflow to infinity.
double MpToDouble(const MpFloat& a);
// The nearest double to the value a approximates within 2^-bits relative,
// when every value in that interval rounds to the same double; false when the
// interval holds a rounding boundary.
bool MpRoundIfDecided(const MpFloat& a, int bits, double* out);

}  // namespace crmath::detail
