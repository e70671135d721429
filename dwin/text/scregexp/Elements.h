#pragma once
// Matching routines for the pattern elements the matchers are built from.
//
// Every element has a static `match(ctx, pos, next)`: it matches itself at pos and hands each end
// position it can reach to the continuation `next` (the rest of the pattern), returning true as soon
// as one continuation succeeds. Repetitions loop instead of recursing, so the stack depth is the
// number of elements in the pattern, whatever the length of the input.

#include <algorithm>
#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace dwin::text::scregexp::elements {

inline constexpr std::uint32_t kUnset = 0xFFFFFFFF;

// A pattern text usable as a template argument.
template <std::size_t N>
struct FixedString {
    char text[N] {};
    constexpr FixedString(const char (&s)[N]) { std::copy_n(s, N, text); }
    constexpr std::size_t size() const { return N - 1; }
    constexpr std::string_view view() const { return {text, N - 1}; }
    constexpr auto operator<=>(const FixedString&) const = default;
};

// What the element routines work on: the input and the working values of one attempt.
struct Context {
    const unsigned char* data = nullptr;
    std::uint32_t size = 0;
    std::uint32_t groupStart = 0;
    std::uint32_t groupEnd = kUnset;

    // Per repetition: a run of starts [from, to] from which the rest of the pattern is known to
    // fail. Whether the rest matches depends only on where it starts, so once a repetition starting
    // at `from` ran to `to` with every continuation failing, any start inside that run fails too.
    struct Dead {
        std::uint32_t from = 1;
        std::uint32_t to = 0;
    };
    std::array<Dead, 2> dead {};

    bool knownDead(std::size_t slot, std::uint32_t p) const {
        return dead[slot].from <= p && p <= dead[slot].to;
    }
    void markDead(std::size_t slot, std::uint32_t from, std::uint32_t to) { dead[slot] = {from, to}; }
    void forget() { dead.fill(Dead {}); }
};

// A literal run: those bytes in order.
template <FixedString S>
struct Lit {
    static_assert(S.size() > 0, "a literal run holds at least one byte");
    static constexpr std::string_view literal() { return S.view(); }

    template <class K>
    static bool match(Context& c, std::uint32_t p, K&& next) {
        constexpr std::uint32_t n = S.size();
        // The first byte alone rejects most attempts.
        if (c.size - p < n || c.data[p] != static_cast<unsigned char>(S.text[0]) ||
            std::memcmp(c.data + p + 1, S.text + 1, n - 1) != 0)
            return false;
        return next(p + n);
    }
};

// Byte classes.
struct AnyButLineFeed {  // "."
    static bool test(unsigned char b) { return b != '\n'; }
};
template <char X>
struct AllBut {  // "[^X]"
    static bool test(unsigned char b) { return b != static_cast<unsigned char>(X); }
};
struct DigitOrComma {  // "[\d,]"
    static bool test(unsigned char b) { return (b >= '0' && b <= '9') || b == ','; }
};

// One byte of a class.
template <class C>
struct One {
    template <class K>
    static bool match(Context& c, std::uint32_t p, K&& next) {
        return p < c.size && C::test(c.data[p]) && next(p + 1);
    }
};

// "C+": the largest count of class bytes for which the rest matches.
template <class C, std::size_t Slot = 0>
struct Greedy {
    template <class K>
    static bool match(Context& c, std::uint32_t p, K&& next) {
        if (c.knownDead(Slot, p))
            return false;
        std::uint32_t e = p;
        while (e < c.size && C::test(c.data[e]))
            ++e;
        for (std::uint32_t q = e; q > p; --q)
            if (next(q))
                return true;
        c.markDead(Slot, p, e);
        return false;
    }
};

// "C+?": the smallest count of class bytes for which the rest matches.
template <class C, std::size_t Slot = 0>
struct Lazy {
    template <class K>
    static bool match(Context& c, std::uint32_t p, K&& next) {
        if (c.knownDead(Slot, p))
            return false;
        std::uint32_t q = p;
        while (q < c.size && C::test(c.data[q])) {
            ++q;
            if (next(q))
                return true;
        }
        c.markDead(Slot, p, q);
        return false;
    }
};

// "(E)": capture group 1. Its end is kept only on the path where the rest matched.
template <class E>
struct Group {
    template <class K>
    static bool match(Context& c, std::uint32_t p, K&& next) {
        c.groupStart = p;
        c.groupEnd = kUnset;
        const bool ok = E::match(c, p, [&](std::uint32_t q) {
            c.groupEnd = q;
            if (next(q))
                return true;
            c.groupEnd = kUnset;
            return false;
        });
        if (!ok)
            c.groupEnd = kUnset;
        return ok;
    }
};

// A sequence of elements; also "(?:...)", which groups without capturing.
template <class... E>
struct Seq;

template <>
struct Seq<> {
    static constexpr std::string_view literal() { return {}; }

    template <class K>
    static bool match(Context&, std::uint32_t p, K&& next) {
        return next(p);
    }
};

template <class E, class... Rest>
struct Seq<E, Rest...> {
    // The literal every match starts with, or empty: lets a search skip to candidate starts.
    static constexpr std::string_view literal() {
        if constexpr (requires { E::literal(); })
            return E::literal();
        else
            return {};
    }

    template <class K>
    static bool match(Context& c, std::uint32_t p, K&& next) {
        return E::match(c, p, [&](std::uint32_t q) { return Seq<Rest...>::match(c, q, next); });
    }
};

}  // namespace dwin::text::scregexp::elements
