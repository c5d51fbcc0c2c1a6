// Which file a recorded identity names: the birth a listing or a look gives, and how two
// identities compare. Plain arithmetic on what the platform's looks found.
#include <cstdint>
#include <limits>
#include <optional>

#include "core/platform/FileSystem.h"

namespace Platform {

namespace {

// Nanoseconds since the epoch within the 62 bits a Born holds (until 2116); nullopt outside.
std::optional<std::uint64_t> Nanoseconds(std::int64_t seconds, std::uint32_t nanoseconds) {
    constexpr std::int64_t kMaxSeconds = ((std::int64_t{1} << 62) - 1) / 1'000'000'000 - 1;
    if (seconds < 0 || seconds > kMaxSeconds || nanoseconds >= 1'000'000'000) return std::nullopt;
    return static_cast<std::uint64_t>(seconds) * 1'000'000'000 + nanoseconds;
}

}  // namespace

Born Born::At(std::int64_t seconds, std::uint32_t nanoseconds) {
    const auto ns = Nanoseconds(seconds, nanoseconds);
    return ns ? Born((std::uint64_t{kAt} << 62) | *ns) : Born();
}

Born Born::NoLaterThan(std::int64_t seconds, std::uint32_t nanoseconds) {
    const auto ns = Nanoseconds(seconds, nanoseconds);
    return ns ? Born((std::uint64_t{kNoLaterThan} << 62) | *ns) : Born();
}

Born Born::Generation(std::uint32_t generation) {
    return Born((std::uint64_t{kGeneration} << 62) | generation);
}

Sameness Compare(const EntryId& recorded, const EntryId& found) {
    if (recorded.file != found.file || recorded.volume != found.volume) return Sameness::kOther;
    const Born& r = recorded.born;
    const Born& f = found.born;
    const auto same = [](bool yes) { return yes ? Sameness::kSame : Sameness::kOther; };
    switch (r.KindOf()) {
        case Born::kNone:
            return Sameness::kSame;
        case Born::kAt:
            switch (f.KindOf()) {
                case Born::kAt:
                    return same(r == f);
                case Born::kNoLaterThan:
                    return r.Value() <= f.Value() ? Sameness::kUnsure : Sameness::kOther;
                case Born::kGeneration:  // one inode with a birth time, one without: two files
                    return Sameness::kOther;
                case Born::kNone:
                    return Sameness::kUnsure;
            }
            break;
        case Born::kNoLaterThan:
            switch (f.KindOf()) {
                case Born::kAt:
                    return same(f.Value() <= r.Value());
                case Born::kNoLaterThan:
                    // Two readings of a folder unchanged in between list the same files.
                    return r == f ? Sameness::kSame : Sameness::kUnsure;
                case Born::kGeneration:  // no birth time to hold the bound against
                    return Sameness::kSame;
                case Born::kNone:
                    return Sameness::kUnsure;
            }
            break;
        case Born::kGeneration:
            switch (f.KindOf()) {
                case Born::kGeneration:
                    return same(r == f);
                case Born::kAt:
                    return Sameness::kOther;
                case Born::kNoLaterThan:
                case Born::kNone:
                    return Sameness::kUnsure;
            }
            break;
    }
    return Sameness::kOther;
}

bool IsSame(const EntryId& recorded, const EntryId& found) {
    const Sameness sameness = Compare(recorded, found);
    // A file system that keeps neither birth time nor generation: the numbers decide.
    if (sameness == Sameness::kUnsure)
        return recorded.born.KindOf() == Born::kNoLaterThan && !found.born.Known();
    return sameness == Sameness::kSame;
}

}  // namespace Platform
