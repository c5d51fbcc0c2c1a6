#include "core/run/RenamePreview.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <limits>
#include <memory>
#include <span>
#include <thread>
#include <unordered_map>
#include <utility>

#include "core/list/MyFileOperation.h"
#include "core/names/CaseConvert.h"
#include "core/names/DigitAlign.h"
#include "core/run/DiskModel.h"
#include "core/run/RenamePlanner.h"
#include "core/run/RenamePreviewForecaster.h"
#include "core/run/RenameSteps.h"
#include "core/run/RunControl.h"
#include "core/text/Cp932.h"

namespace RenamePreview {
namespace detail {

Result Forecaster::Run(const Inputs& inputs, const std::vector<std::int64_t>* datesTaken) {
    std::visit(
        [&](const auto& page) {
            using Page = std::decay_t<decltype(page)>;
            if constexpr (std::is_same_v<Page, NoRun>) {
                result_.noRun = true;
            } else if constexpr (std::is_same_v<Page, SettingsPage>) {
                result_.refusal = SettingsPageRefused{};
            } else if constexpr (std::is_same_v<Page, RenamePreview::Sequential>) {
                const SequentialNames::RunCheck check =
                    page.options ? SequentialNames::CheckRun(*page.options)
                                 : SequentialNames::RunCheck{SequentialNames::RunCheck::Refusal::kInputs, {}};
                if (check.refusal != SequentialNames::RunCheck::Refusal::kNone) {
                    result_.refusal = check;
                } else {
                    Sequential(*page.options, datesTaken);
                }
            } else if constexpr (std::is_same_v<Page, RenamePreview::StringPage>) {
                StringPage(page);
            } else if constexpr (std::is_same_v<Page, DigitAlignment>) {
                std::size_t width = 0;
                for (std::size_t first = 0; first < paths_.size(); first += kStepRows) {
                    if (Stop(first)) return;
                    FetchPaths(first, std::min(kStepRows, paths_.size() - first));
                    const std::span<const std::string> part =
                        std::span(paths_).subspan(first, std::min(kStepRows, paths_.size() - first));
                    width = std::max(width, DigitAlign::Width(part));
                }
                KeptFiles(
                    [width](std::span<const std::string> part) {
                        DigitAlign::Plan plan = DigitAlign::Preview(part, width);
                        return Planned{std::move(plan.oldIndices), std::move(plan.newPaths), {}, {}};
                    },
                    Order::FirstToLast, true, NothingToRename::Run::kDigit);
            } else if constexpr (std::is_same_v<Page, CaseConversion>) {
                // Last to first, as the case run renames.
                KeptFiles(
                    [mode = page.mode](std::span<const std::string> part) {
                        CaseConvert::Plan plan = CaseConvert::PlanConversion(part, mode);
                        return Planned{std::move(plan.oldIndices), std::move(plan.newPaths), {}, {}};
                    },
                    Order::LastToFirst, false, NothingToRename::Run::kCase);
            }
        },
        inputs);
    if (stopped_) {
        Result stopped;
        stopped.stopped = true;
        return stopped;
    }
    return std::move(result_);
}

bool Forecaster::ReadFolders(bool renames) {
    std::vector<std::pair<std::string_view, std::size_t>> folders;  // with the renames into each
    std::unordered_map<std::string_view, std::size_t> seen;
    std::string_view last;
    std::size_t lastIndex = 0;
    for (std::size_t row = 0; row < paths_.size(); ++row) {
        if (row % kStepRows == 0 && Stop(row)) return false;
        FetchPath(row + kPathAhead);
        const std::string_view folder = FolderOf(row);
        if (folder != last || row == 0) {
            last = folder;
            lastIndex = seen.try_emplace(folder, folders.size()).first->second;
            if (lastIndex == folders.size()) folders.emplace_back(folder, 0);
        }
        ++folders[lastIndex].second;
    }
    for (std::size_t k = 0; k < folders.size(); ++k) {
        if (Stop(k)) return false;
        model_->Read(folders[k].first, renames ? folders[k].second : 0);
    }
    return !Stop(0);
}

bool Forecaster::ListedOnce() {
    // The check for names given twice, which finds paths that are one text too.
    SequentialNames::NameCheck check(paths_.size(),
                                     [this](std::size_t a, std::size_t b) { return paths_[a] == paths_[b]; });
    std::vector<std::size_t> twice;
    for (std::size_t row = 0; row < paths_.size() && twice.empty(); ++row) {
        if (row % kStepRows == 0 && Stop(row)) return false;
        FetchPath(row + kPathAhead);
        const MyFileOperation::PathParts parts = MyFileOperation::SplitAtLastDelimiter(paths_[row]);
        check.Queue(row, parts.folder, parts.name, twice);
    }
    check.Finish(twice);
    return twice.empty();
}

bool Forecaster::NamedOnce() {
    const Rows& rows = result_.rows;
    SequentialNames::NameCheck check(paths_.size(), [this, &rows](std::size_t a, std::size_t b) {
        return FolderOf(a) == FolderOf(b) && rows.NameOf(a) == rows.NameOf(b);
    });
    std::vector<std::size_t> twice;
    for (std::size_t row = 0; row < rows.Size() && twice.empty(); ++row) {
        if (row % kStepRows == 0 && Stop(row)) return false;
        FetchPath(row + kPathAhead);
        if (rows.StateOf(row) != State::kUnchanged) check.Queue(row, FolderOf(row), rows.NameOf(row), twice);
    }
    check.Finish(twice);
    return twice.empty();
}

bool Forecaster::AllGoThrough(const std::vector<bool>& unusable) {
    const auto [first, second] = InHalves([&](std::size_t from, std::size_t end) {
        DiskModel::AsRead disk(*model_, true);
        const Platform::EntryId known;
        std::string to;
        for (std::size_t row = from; row < end; ++row) {
            if ((row - from) % kStepRows == 0 && Stop(row)) return false;
            FetchPath(row + kPathAhead);
            if (unusable[row] || result_.rows.StateOf(row) == State::kUnchanged) continue;
            to.assign(FolderOf(row)).append(result_.rows.NameOf(row));
            if (paths_[row] == to) continue;
            if (RenameExecutor::SkipStep(disk, paths_[row], to, known) != RenameExecutor::Step::kDone)
                return false;
        }
        return true;
    });
    return first && second;
}

void Forecaster::StringPage(const RenamePreview::StringPage& page) {
    // A text the codec cannot hold at all is as unusable as a missing one.
    if (page.regex && page.target && page.replacement) {
        RegexRename::Prepared prepared =
            RegexRename::Prepare(*page.target, *page.replacement, page.caseSensitive);
        if (prepared.check.refusal != RegexRename::Refusal::None) {
            result_.refusal = std::move(prepared.check);
            return;
        }
        const RegexRename::Options options{.includeExtension = page.includeExtension};
        KeptFiles(
            [&](std::span<const std::string> part) {
                RegexRename::Preview preview =
                    RegexRename::PreviewRenames(part, *prepared.replacer, options, control_);
                return Planned{std::move(preview.oldIndices), std::move(preview.newPaths),
                               std::move(preview.unusable), preview.stopped, preview.cancelled};
            },
            Order::FirstToLast, true, NothingToRename::Run::kString);
        return;
    }
    StringRename::Check check = page.target && page.replacement
                                    ? StringRename::CheckInputs(*page.target, *page.replacement)
                                    : StringRename::Check{StringRename::Refusal::EmptyTarget, {}};
    if (check.refusal != StringRename::Refusal::None) {
        result_.refusal = std::move(check);
        return;
    }
    const StringRename::Options options{.includeExtension = page.includeExtension,
                                        .caseSensitive = page.caseSensitive};
    KeptFiles(
        [&](std::span<const std::string> part) {
            StringRename::Preview preview =
                StringRename::PreviewRenames(part, *page.target, *page.replacement, options);
            return Planned{std::move(preview.oldIndices), std::move(preview.newPaths), {}, {}};
        },
        Order::FirstToLast, true, NothingToRename::Run::kString);
}

template <class Plan>
void Forecaster::KeptFiles(const Plan& plan, Order order, bool offerOrder, NothingToRename::Run run) {
    // The plan a part of the list at a time: the names go into the rows, the files the run keeps
    // marked renamed. The folders are read meanwhile: the plan needs no look.
    bool listedOnce = false;
    Platform::HelperThread reader = ReadFoldersBeside(listedOnce);
    Rows& rows = result_.rows;
    rows.Reserve(paths_.size(), NameBytes());
    std::vector<bool> unusable;  // per row
    bool anyUnusable = false;
    bool anyKept = false;
    assert(paths_.size() <= std::numeric_limits<std::uint32_t>::max());
    for (std::size_t first = 0; first < paths_.size(); first += kStepRows) {
        if (Stop(first)) return;
        const std::size_t count = std::min(kStepRows, paths_.size() - first);
        FetchPaths(first, count);
        Planned part = plan(std::span(paths_).subspan(first, count));
        if (part.cancelled) {
            stopped_ = true;
            return;
        }
        if (part.stopped) {
            result_.refusal = RegexStopped{part.stopped->reason, paths_[first + part.stopped->index]};
            result_.rows = Rows();
            return;
        }
        std::size_t next = 0;  // the next of the part's planned files
        std::size_t nextUnusable = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t row = first + i;
            if (next >= part.indices.size() || part.indices[next] != i) {
                rows.Add(State::kUnchanged);
                unusable.push_back(false);
                continue;
            }
            const bool bad = nextUnusable < part.unusable.size() && part.unusable[nextUnusable] == next;
            if (bad) ++nextUnusable;
            anyUnusable = anyUnusable || bad;
            rows.Add(State::kRenamed, std::string_view(part.newPaths[next]).substr(FolderOf(row).size()));
            unusable.push_back(bad);
            anyKept = true;
            ++next;
        }
    }
    if (!anyKept) {
        result_.refusal = NothingToRename{run};
        return;
    }
    // While the folders are still being read.
    const bool namedOnce = NamedOnce();
    reader.Join();
    const bool once = listedOnce && namedOnce;
    if (stopped_) return;

    RenameExecutor::Outcome outcome;
    if (once && model_->ExactAndDistinct() && AllGoThrough(unusable)) {
        // No step looks at a name another step renames: each finds what it would find on the
        // disk as read, so the walk renames every row it tries, and fails the unusable ones.
        outcome.executed = true;
        for (std::size_t row = 0; row < paths_.size(); ++row) {
            if (unusable[row]) outcome.failed.push_back(row);
        }
    } else {
        if (stopped_) return;
        // The executor knows each file before its first rename, and renames only that file: on
        // the model, the file each folder was read with. The walk goes over every row, a row the
        // run does not keep counting as one left as it is: the same renames in the same order as
        // a walk over the kept files, without a list of them.
        DiskModel::ReadFiles disk(*model_);
        const Platform::EntryId known;
        EveryStep every(control_);
        outcome = RenameExecutor::Walk(
            paths_.size(), order, &every, anyUnusable ? unusable : std::vector<bool>(),
            [&](std::size_t row) {
                return rows.StateOf(row) == State::kUnchanged || paths_[row] == NewPath(row);
            },
            [&](std::size_t row) {
                ExpectAhead(row, paths_.size(), order, [](std::size_t ahead) { return ahead; });
                return RenameExecutor::SkipStep(disk, paths_[row], NewPath(row), known);
            });
        if (!outcome.untried.empty()) {
            stopped_ = true;
            return;
        }
    }
    if (offerOrder && !outcome.skipped.empty()) {
        // As the run: a quick look first, then the plan of the folders as they stand.
        std::vector<std::uint32_t> planned;
        std::vector<bool> plannedUnusable;
        for (std::size_t row = 0; row < paths_.size(); ++row) {
            if (rows.StateOf(row) == State::kUnchanged) continue;
            planned.push_back(static_cast<std::uint32_t>(row));
            plannedUnusable.push_back(unusable[row]);
        }
        std::vector<std::string> from;
        std::vector<std::string> to;
        PathsOf(planned, from, to);
        if (RenameExecutor::NeedsOrder(from, to)) {
            const RenamePlanner::Plan ordered = RenameExecutor::PlanOnDisk(from, to, "0");
            if (ordered.reorderedCount > 0) {
                CarryOut(ordered, planned, from, to, plannedUnusable, true);
                return;
            }
        }
    }
    for (const std::size_t row : outcome.skipped)
        rows.Set(row, State::kCollision);
    // A failed rename leaves its file where it was: a source holding no file read there had none.
    for (const std::size_t row : outcome.failed)
        rows.Set(row, model_->HoldsReadFile(paths_[row]) ? FailureOf(row, unusable[row]) : State::kMissing);
}

State Forecaster::FailureOf(std::size_t row, bool unusable) {
    const std::string& to = NewPath(row);
    if (unusable || RenameExecutor::IsNoName(to)) return State::kUnusable;
    if (model_->TooLong(to)) return State::kTooLong;
    if (model_->At(paths_[row]) == DiskModel::Kind::kNone) return State::kMissing;
    return State::kRefused;
}

void Forecaster::PathsOf(const std::vector<std::uint32_t>& pairs, std::vector<std::string>& from,
                         std::vector<std::string>& to) {
    from.reserve(pairs.size());
    to.reserve(pairs.size());
    for (const std::uint32_t row : pairs) {
        from.push_back(paths_[row]);
        to.push_back(NewPath(row));
    }
}

void Forecaster::CarryOut(const RenamePlanner::Plan& plan, const std::vector<std::uint32_t>& pairs,
                          const std::vector<std::string>& from, const std::vector<std::string>& to,
                          const std::vector<bool>& unusable, bool readFiles) {
    using RenamePlanner::Move;
    using RenamePlanner::Step;
    Rows& rows = result_.rows;
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        const std::size_t row = pairs[k];
        if (plan.blocked[k] != RenamePlanner::Blocked::kNo) {
            rows.Set(row, State::kCollision);
        } else if (rows.StateOf(row) != State::kUnchanged) {
            // The sequential run asks about every name its check found held, and renames none without a yes.
            const bool asked = plan.reordered[k] || (!readFiles && rows.StateOf(row) == State::kCollision);
            rows.Set(row, asked ? State::kReordered : State::kRenamed);
        }
    }
    model_ = std::make_unique<DiskModel>(listings_);
    if (!ReadFolders()) return;
    std::string temporary;
    const auto source = [&](const Step& step) -> const std::string& {
        return step.move == Move::kHome ? temporary : from[step.pair];
    };
    const auto target = [&](const Step& step) -> const std::string& {
        return step.move == Move::kAside ? temporary : to[step.pair];
    };
    for (std::size_t g = 0; g < plan.groups.size(); ++g) {
        if (g % kStepRows == 0 && Stop(g)) return;
        const RenamePlanner::Group& group = plan.groups[g];
        temporary =
            group.temporary == RenamePlanner::kNoTemporary ? std::string() : plan.TemporaryOf(group, from);
        const std::size_t end = group.first + group.count;
        std::size_t s = group.first;
        for (; s < end; ++s) {
            const Step step = plan.steps[s];
            const MyFileOperation::BatchRenames::Result done =
                readFiles && step.move != Move::kHome ? model_->RenameReadFile(source(step), target(step))
                                                      : model_->Rename(source(step), target(step), nullptr);
            if (done != MyFileOperation::BatchRenames::Result::kDone) break;
        }
        if (s == end) continue;
        // A step refused: the steps before it are taken back, and the group's files keep their names.
        while (s-- > group.first)
            model_->Rename(target(plan.steps[s]), source(plan.steps[s]), nullptr);
        for (std::size_t t = group.first; t < end; ++t) {
            const Step step = plan.steps[t];
            if (step.move == Move::kHome) continue;
            rows.Set(pairs[step.pair], FailureOf(pairs[step.pair], !unusable.empty() && unusable[step.pair]));
        }
    }
}

}  // namespace detail

std::string_view Rows::NameOf(std::size_t row) const {
    const std::size_t begin = row == 0 ? 0 : ends_[row - 1];
    return std::string_view(names_).substr(begin, ends_[row] - begin);
}

std::size_t Rows::Count(State state) const {
    return static_cast<std::size_t>(std::count(states_.begin(), states_.end(), state));
}

std::size_t Rows::Bytes() const {
    return states_.capacity() * sizeof(State) + ends_.capacity() * sizeof(std::uint32_t) + names_.capacity();
}

void Rows::Add(State state, std::string_view name) {
    assert(names_.size() + name.size() <= std::numeric_limits<std::uint32_t>::max());
    states_.push_back(state);
    names_.append(name);
    ends_.push_back(static_cast<std::uint32_t>(names_.size()));
}

void Rows::Reserve(std::size_t rows, std::size_t nameBytes) {
    states_.reserve(rows);
    ends_.reserve(rows);
    names_.reserve(nameBytes);
}

bool NeedsDatesTaken(const Inputs& inputs) {
    const auto* page = std::get_if<RenamePreview::Sequential>(&inputs);
    return page != nullptr && page->options && page->options->addDate && page->options->dateTaken;
}

Result Forecast(const std::vector<std::string>& paths, const Inputs& inputs,
                const std::vector<std::int64_t>* datesTaken, RunControl* control,
                const MyFileOperation::FolderListings* listings) {
    return detail::Forecaster(paths, control, listings).Run(inputs, datesTaken);
}

}  // namespace RenamePreview
