#pragma once
// Fixed-pattern matchers for scraping reply pages.
//
// `screg<"pattern">` is a matcher for one of the patterns below; each is a chain of the element
// routines of scregexp/Elements.h. Matching works on bytes: "." is any byte but a line feed, a
// negated class accepts line feeds, offsets are byte offsets. `find` gives the successive,
// non-overlapping, leftmost matches of one input.
//
// A matcher keeps a view of the text passed to `find`; that text must outlive the calls to
// `matchAt` and `group` that follow. Nothing here throws, except std::bad_alloc from `group`.

#include "dwin/text/scregexp/Elements.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace dwin::text::scregexp {

using elements::FixedString;

// One capture: byte offsets into the input; end is 0xFFFFFFFF while the capture is unset.
struct grouprec {
    std::uint32_t start = 0;
    std::uint32_t end = elements::kUnset;
};

// Text of capture n: the slice [start, end) of the input; empty when the capture is unset.
std::string groupSlice(std::size_t n, std::span<const grouprec> captures, std::string_view input);

// The element chain of each pattern; a pattern without a chain does not build.
template <FixedString P>
struct Pattern;

namespace e = elements;

template <>
struct Pattern<"totalResultsAvailable=\"([^\"]+)\""> {
    using type = e::Seq<e::Lit<"totalResultsAvailable=\"">, e::Group<e::Greedy<e::AllBut<'"'>>>,
                        e::Lit<"\"">>;
};

template <>
struct Pattern<"<Url>(.+?)</Url>"> {
    using type = e::Seq<e::Lit<"<Url>">, e::Group<e::Lazy<e::AnyButLineFeed>>, e::Lit<"</Url>">>;
};

template <>
struct Pattern<"of (?:about )<b>([\\d,]+)</b> for"> {
    using type = e::Seq<e::Lit<"of ">, e::Seq<e::Lit<"about ">>, e::Lit<"<b>">,
                        e::Group<e::Greedy<e::DigitOrComma>>, e::Lit<"</b> for">>;
};

template <>
struct Pattern<"href=.([^ ]+?). target=_blank class=l"> {
    using type =
        e::Seq<e::Lit<"href=">, e::One<e::AnyButLineFeed>, e::Group<e::Lazy<e::AllBut<' '>>>,
               e::One<e::AnyButLineFeed>, e::Lit<" target=_blank class=l">>;
};

template <FixedString P>
class screg {
    using Chain = typename Pattern<P>::type;

public:
    // Always true; reaching it means the whole pattern matched.
    bool valid() const { return true; }

    // Matches the whole pattern starting exactly at the position. On success the position is the
    // end of the match and capture 1 is set; on failure the position is unchanged.
    bool matchAt()
    {
        if (position_ > ctx_.size)
            return false;
        ctx_.groupStart = 0;
        ctx_.groupEnd = elements::kUnset;
        std::uint32_t end = position_;
        const bool ok = Chain::match(ctx_, position_, [&](std::uint32_t q) {
            end = q;
            return valid();
        });
        if (!ok)
            return false;
        position_ = end;
        captures_[1] = {ctx_.groupStart, ctx_.groupEnd};
        count_ = 2;
        return true;
    }

    // Searches `input` for the next match, from the position on. A failed search leaves the
    // position at the last start offset, so searching the same input again fails too.
    bool find(std::string_view input)
    {
        count_ = 0;
        bind(input);
        const std::uint32_t n = ctx_.size;
        if (position_ >= n)
            return false;
        for (std::uint32_t i = nextStart(position_); i < n; i = nextStart(i + 1)) {
            position_ = i;
            if (matchAt()) {
                captures_[0] = {i, position_};
                return true;
            }
        }
        position_ = n - 1;
        return false;
    }

    std::string group(std::size_t n) const
    {
        return groupSlice(n, std::span<const grouprec>(captures_.data(), count_), input_);
    }

    std::uint32_t getPosition() const { return position_; }
    void setPosition(std::uint32_t position) { position_ = position; }
    void reset() { position_ = 0; }

private:
    void bind(std::string_view input)
    {
        // Offsets are 32-bit; a longer input is searched in its first 4 GiB only.
        if (input.size() >= elements::kUnset)
            input = input.substr(0, elements::kUnset - 1);
        input_ = input;
        ctx_.data = reinterpret_cast<const unsigned char*>(input.data());
        ctx_.size = static_cast<std::uint32_t>(input.size());
        ctx_.forget();
    }

    // The first start offset from i on where the pattern's leading literal occurs.
    std::uint32_t nextStart(std::uint32_t i) const
    {
        constexpr std::string_view lead = Chain::lead();
        if constexpr (lead.empty()) {
            return i;
        } else {
            const std::size_t at = input_.find(lead, i);
            return at == std::string_view::npos ? ctx_.size : static_cast<std::uint32_t>(at);
        }
    }

    std::uint32_t position_ = 0;
    std::array<grouprec, 2> captures_{};
    std::size_t count_ = 0;
    std::string_view input_;
    elements::Context ctx_;
};

} // namespace dwin::text::scregexp
