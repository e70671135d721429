#pragma once
// Matching routines for the pattern elements the matchers are built from.
//
// Every element has a static `match(ctx, pos, next)`: it matches itself at pos and hands each end
// position it can reach to the continuation `next` (the rest of the pattern), returning true as soon
// as one continuation succeeds. Repetitions loop instead of recursing, so the stack depth is the
// number of elements in the pattern, whatever the length of the input.
//
// Elements also describe themselves at compile time (`width`: bytes consumed, -1 when it varies;
// `lead()`: the literal they start with), so a continuation knows its anchor: the literal that must
// stand a fixed number of bytes after the position it is handed. Repetitions use it to skip
// positions where the rest cannot match.

#include <algorithm>
#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>
#include <utility>

namespace dwin::text::scregexp::elements {

inline constexpr std::uint32_t kUnset = 0xFFFFFFFF;

// A pattern text usable as a template argument.
template <std::size_t N>
struct FixedString {
    char text[N]{};
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
    std::array<Dead, 2> dead{};

    bool knownDead(std::size_t slot, std::uint32_t p) const
    {
        return dead[slot].from <= p && p <= dead[slot].to;
    }
    void markDead(std::size_t slot, std::uint32_t from, std::uint32_t to)
    {
        dead[slot] = {from, to};
    }
    void forget() { dead.fill(Dead{}); }
};

// `text` must stand `offset` bytes after a continuation's position; offset -1: nothing known.
struct Anchor {
    int offset = -1;
    std::string_view text;
    constexpr bool known() const { return offset >= 0 && !text.empty(); }
};

template <class K>
constexpr Anchor anchorOf()
{
    if constexpr (requires { std::remove_cvref_t<K>::anchor; })
        return std::remove_cvref_t<K>::anchor;
    else
        return {};
}

// The anchor of elements Es followed by a continuation K.
template <class K, class... Es>
constexpr Anchor anchorBefore()
{
    constexpr std::array<std::pair<int, std::string_view>, sizeof...(Es)> parts{
        {{Es::width, Es::lead()}...}};
    int offset = 0;
    for (const auto& [width, lead] : parts) {
        if (!lead.empty())
            return {offset, lead};
        if (width < 0)
            return {};
        offset += width;
    }
    const Anchor after = anchorOf<K>();
    return after.known() ? Anchor{after.offset + offset, after.text} : Anchor{};
}

// A literal run: those bytes in order.
template <FixedString S>
struct Lit {
    static_assert(S.size() > 0, "a literal run holds at least one byte");
    static constexpr int width = static_cast<int>(S.size());
    static constexpr std::string_view lead() { return S.view(); }

    template <class K>
    static bool match(Context& c, std::uint32_t p, K&& next)
    {
        constexpr std::uint32_t n = S.size();
        // The first byte alone rejects most attempts.
        if (c.size - p < n || c.data[p] != static_cast<unsigned char>(S.text[0]) ||
            std::memcmp(c.data + p + 1, S.text + 1, n - 1) != 0)
            return false;
        return next(p + n);
    }
};

// Byte classes: `test` one byte; `scan` gives the first byte of [from, to) outside the class.
template <char X>
struct AllBut { // "[^X]"
    static bool test(unsigned char b) { return b != static_cast<unsigned char>(X); }
    static const unsigned char* scan(const unsigned char* from, const unsigned char* to)
    {
        const void* hit =
            from < to ? std::memchr(from, X, static_cast<std::size_t>(to - from)) : nullptr;
        return hit ? static_cast<const unsigned char*>(hit) : to;
    }
};
using AnyButLineFeed = AllBut<'\n'>; // "."
struct DigitOrComma { // "[\d,]"
    static bool test(unsigned char b) { return (b >= '0' && b <= '9') || b == ','; }
    static const unsigned char* scan(const unsigned char* from, const unsigned char* to)
    {
        return std::find_if_not(from, to, test);
    }
};

// One byte of a class.
template <class C>
struct One {
    static constexpr int width = 1;
    static constexpr std::string_view lead() { return {}; }

    template <class K>
    static bool match(Context& c, std::uint32_t p, K&& next)
    {
        return p < c.size && C::test(c.data[p]) && next(p + 1);
    }
};

// Where the run of class bytes from p ends.
template <class C>
std::uint32_t runEnd(const Context& c, std::uint32_t p)
{
    return static_cast<std::uint32_t>(C::scan(c.data + p, c.data + c.size) - c.data);
}

// "C+": the largest count of class bytes for which the rest matches.
template <class C, std::size_t Slot = 0>
struct Greedy {
    static constexpr int width = -1;
    static constexpr std::string_view lead() { return {}; }

    template <class K>
    static bool match(Context& c, std::uint32_t p, K&& next)
    {
        if (c.knownDead(Slot, p))
            return false;
        constexpr Anchor a = anchorOf<K>();
        const std::uint32_t e = runEnd<C>(c, p);
        for (std::uint32_t q = e; q > p; --q) {
            if constexpr (a.known()) {
                const std::uint64_t at = std::uint64_t{q} + a.offset;
                if (at >= c.size || c.data[at] != static_cast<unsigned char>(a.text[0]))
                    continue;
            }
            if (next(q))
                return true;
        }
        c.markDead(Slot, p, e);
        return false;
    }
};

// "C+?": the smallest count of class bytes for which the rest matches.
template <class C, std::size_t Slot = 0>
struct Lazy {
    static constexpr int width = -1;
    static constexpr std::string_view lead() { return {}; }

    template <class K>
    static bool match(Context& c, std::uint32_t p, K&& next)
    {
        if (c.knownDead(Slot, p))
            return false;
        constexpr Anchor a = anchorOf<K>();
        std::uint32_t q = p;
        if constexpr (a.known()) {
            // Only counts whose anchor byte is in place can succeed: jump between those.
            const auto first = static_cast<unsigned char>(a.text[0]);
            for (std::uint32_t from = p + 1;;) {
                const std::uint64_t at = std::uint64_t{from} + a.offset;
                const void* hit =
                    at < c.size ? std::memchr(c.data + at, first, c.size - at) : nullptr;
                if (!hit)
                    break;
                const auto candidate = static_cast<std::uint32_t>(
                    static_cast<const unsigned char*>(hit) - c.data - a.offset);
                const std::uint32_t stop =
                    static_cast<std::uint32_t>(C::scan(c.data + q, c.data + candidate) - c.data);
                if (stop < candidate) { // the run ends before this count
                    q = stop;
                    break;
                }
                q = candidate;
                if (next(q))
                    return true;
                from = q + 1;
            }
        } else {
            while (q < c.size && C::test(c.data[q])) {
                ++q;
                if (next(q))
                    return true;
            }
        }
        c.markDead(Slot, p, runEnd<C>(c, q));
        return false;
    }
};

// The continuation that ends a group: keeps the group's end on the path where the rest matched.
template <class K>
struct CloseGroup {
    Context& c;
    K& next;
    static constexpr Anchor anchor = anchorOf<K>();

    bool operator()(std::uint32_t q) const
    {
        c.groupEnd = q;
        if (next(q))
            return true;
        c.groupEnd = kUnset;
        return false;
    }
};

// "(E)": capture group 1.
template <class E>
struct Group {
    static constexpr int width = E::width;
    static constexpr std::string_view lead() { return E::lead(); }

    template <class K>
    static bool match(Context& c, std::uint32_t p, K&& next)
    {
        c.groupStart = p;
        c.groupEnd = kUnset;
        const bool ok = E::match(c, p, CloseGroup<std::remove_reference_t<K>>{c, next});
        if (!ok)
            c.groupEnd = kUnset;
        return ok;
    }
};

// A sequence of elements; also "(?:...)", which groups without capturing.
template <class... E>
struct Seq;

// The continuation after an element of a sequence: the rest of the sequence, then `next`.
template <class Rest, class K>
struct Then {
    Context& c;
    K& next;
    static constexpr Anchor anchor = Rest::template anchorThen<K>();

    bool operator()(std::uint32_t q) const { return Rest::match(c, q, next); }
};

template <class... E>
struct Seq {
    static constexpr int width = ((E::width < 0) || ...) ? -1 : (0 + ... + E::width);

    static constexpr std::string_view lead()
    {
        constexpr Anchor a = anchorBefore<void, E...>();
        return a.offset == 0 ? a.text : std::string_view{};
    }

    template <class K>
    static constexpr Anchor anchorThen()
    {
        return anchorBefore<K, E...>();
    }

    template <class K>
    static bool match(Context& c, std::uint32_t p, K&& next)
    {
        if constexpr (sizeof...(E) == 0)
            return next(p);
        else
            return matchFirst<E...>(c, p, next);
    }

private:
    template <class First, class... Rest, class K>
    static bool matchFirst(Context& c, std::uint32_t p, K& next)
    {
        return First::match(c, p, Then<Seq<Rest...>, K>{c, next});
    }
};

} // namespace dwin::text::scregexp::elements
