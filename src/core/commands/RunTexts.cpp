#include "core/commands/RunTexts.h"

#include "core/commands/Common.h"
#include "core/list/MyFileOperation.h"
#include "core/text/Cp932.h"
#include "core/text/Translate.h"

#include <string_view>
#include <type_traits>
#include <variant>

namespace RunTexts {
namespace {

std::string BadInputs() {
    return _("入力項目が不足しているか、または不正値が入力されています");
}

// What is wrong with a pattern; empty where no kind says more.
std::string PatternErrorText(RegexRename::PatternError error) {
    using RegexRename::PatternError;
    switch (error) {
        case PatternError::kParentheses:
            return _("括弧の対応が取れていません");
        case PatternError::kEscape:
            return _("\\ の後に使えない文字があります");
        case PatternError::kSingleByte:
            return _("\\C は文字を途中で分けるため使えません");
        case PatternError::kQuantifier:
            return _("繰り返しの指定が正しくありません");
        case PatternError::kLookbehind:
            return _("後読みには長さの決まった文字列しか使えません");
        case PatternError::kTooComplex:
            return _("複雑すぎます");
        case PatternError::kNone:
        case PatternError::kOther:
            break;
    }
    return {};
}

}  // namespace

std::string SettingsPage() {
    return _("「動作設定」ページからのリネームは行えません。");
}

std::string SequentialRefusal(const SequentialNames::RunCheck& check) {
    using Refusal = SequentialNames::RunCheck::Refusal;
    switch (check.refusal) {
        case Refusal::kNone:
            break;
        case Refusal::kInputs:
            return BadInputs();
        case Refusal::kForbidden:
            return Translate::Fill(_("固定文字にファイル名として使用できない文字 %1 が使われています。"),
                                   {Cp932::ToUtf8Lossy(check.forbidden)});
    }
    return {};
}

std::string SequentialStop(SequentialNames::Outcome outcome, const std::string& detail) {
    using Outcome = SequentialNames::Outcome;
    switch (outcome) {
        case Outcome::Composed:
        case Outcome::EmptyList:
            break;
        case Outcome::MissingFile:
            return Command::Text::MissingFile(detail);
        case Outcome::Collision:
            return _("同名ファイルができるので、リネームは実施できません。");
        case Outcome::NumberOutOfRange:
            return BadInputs();
        case Outcome::BadDate:
            return Translate::Fill(_("'%1' は日付または時刻ではありません"), {Cp932::ToUtf8Lossy(detail)});
    }
    return {};
}

std::string StringRefusal(const StringRename::Check& check) {
    using StringRename::Refusal;
    switch (check.refusal) {
        case Refusal::None:
            break;
        case Refusal::EmptyTarget:
            return _("入力項目が不足しています");
        case Refusal::StarAlone:
            return _("アスタリスク \"*\" の単独使用はできません。");
        case Refusal::QuestionAlone:
            return _("クエスチョンマーク \"?\" の単独使用はできません。");
        case Refusal::StarAndQuestion:
            return _("アスタリスク\"*\"とクエスチョンマーク\"?\"の混在指定はできません。");
        case Refusal::SeveralStars:
            return _("アスタリスク \"*\" の複数使用はできません。");
        case Refusal::ForbiddenInReplacement:
            return Translate::Fill(_("置換文字にファイル名として使用できない文字 %1 が使われています。"),
                                   {Cp932::ToUtf8Lossy(check.forbidden)});
    }
    return {};
}

std::string RegexRefusal(const RegexRename::Check& check) {
    using RegexRename::Refusal;
    switch (check.refusal) {
        case Refusal::None:
            break;
        case Refusal::EmptyTarget:
            return StringRefusal(StringRename::Check{StringRename::Refusal::EmptyTarget, {}});
        case Refusal::BadPattern: {
            const std::string what = PatternErrorText(check.error);
            const std::string at = std::to_string(check.position);
            // TRANSLATORS: %1 is the position in the pattern (counted in characters from 1).
            if (what.empty()) return Translate::Fill(_("正規表現が正しくありません（%1文字目）"), {at});
            // TRANSLATORS: %1 says what is wrong, %2 is its position in the pattern.
            return Translate::Fill(_("正規表現が正しくありません： %1（%2文字目）"), {what, at});
        }
        case Refusal::MissingGroup:
            return Translate::Fill(_("置換文字列に存在しないグループ %1 が使われています。"),
                                   {Cp932::ToUtf8Lossy(check.detail)});
        case Refusal::ForbiddenInReplacement:
            return StringRefusal(
                StringRename::Check{StringRename::Refusal::ForbiddenInReplacement, check.detail});
    }
    return {};
}

std::string RegexStopped(RegexRename::StopReason reason, const std::string& path) {
    const std::string name = Cp932::ToUtf8Lossy(MyFileOperation::SplitAtLastDelimiter(path).name);
    switch (reason) {
        case RegexRename::StopReason::kTooLong:
            return Translate::Fill(
                _("正規表現は正しく書かれていますが、ファイル %1 の名前では照合に時間がかかりすぎます。"),
                {name});
        case RegexRename::StopReason::kFailed:
            break;
    }
    return Translate::Fill(_("ファイル %1 の名前を正規表現と照合できませんでした。"), {name});
}

std::string NothingToRename(RenamePreview::NothingToRename::Run run) {
    using Run = RenamePreview::NothingToRename::Run;
    switch (run) {
        case Run::kString:
            return std::string(_("対象のファイルがないか、変換結果が不正になるため、変換できません")) +
                   "\r\n\r\n" +
                   _("対象文字が見つからないか、変換を行うと空白のファイル名ができる可能性があります。");
        case Run::kCase:
            return _("処理対象ファイルが見つかりませんでした。");
        case Run::kDigit:
            return _("桁揃え可能なファイルはありません");
    }
    return {};
}

std::string PreviewRefusal(const RenamePreview::Refusal& refusal) {
    return std::visit(
        [](const auto& why) -> std::string {
            using Why = std::decay_t<decltype(why)>;
            if constexpr (std::is_same_v<Why, std::monostate>) {
                return {};
            } else if constexpr (std::is_same_v<Why, RenamePreview::SettingsPageRefused>) {
                return SettingsPage();
            } else if constexpr (std::is_same_v<Why, SequentialNames::RunCheck>) {
                return SequentialRefusal(why);
            } else if constexpr (std::is_same_v<Why, RenamePreview::SequentialStopped>) {
                return SequentialStop(why.outcome, why.detail);
            } else if constexpr (std::is_same_v<Why, StringRename::Check>) {
                return StringRefusal(why);
            } else if constexpr (std::is_same_v<Why, RegexRename::Check>) {
                return RegexRefusal(why);
            } else if constexpr (std::is_same_v<Why, RenamePreview::RegexStopped>) {
                return RegexStopped(why.reason, why.path);
            } else {
                static_assert(std::is_same_v<Why, RenamePreview::NothingToRename>);
                return NothingToRename(why.run);
            }
        },
        refusal);
}

std::string PreviewReason(RenamePreview::State state) {
    using State = RenamePreview::State;
    switch (state) {
        case State::kUnchanged:
        case State::kRenamed:
            break;
        case State::kCollision:
            return _("同じ名前のファイルがあるため、変更されません");
        case State::kReordered:
            return _("順序を入れ替えると変更できます");
        case State::kUnusable:
            return _("ファイル名に使えない名前のため、変更されません");
        case State::kTooLong:
            return _("名前が長すぎるため、変更されません");
        case State::kMissing:
            return _("ファイルが見つからないため、変更されません");
        case State::kRefused:
            return _("名前を変更できないため、変更されません");
    }
    return {};
}

std::string PreviewCounts(const RenamePreview::Rows& rows) {
    using State = RenamePreview::State;
    // Rows renamed only on a yes to the run's question count with the collisions: what Go does
    // without it.
    std::size_t failed = 0;
    for (const State state : {State::kUnusable, State::kTooLong, State::kMissing, State::kRefused})
        failed += rows.Count(state);
    return Counts(rows.Count(State::kRenamed), rows.Count(State::kCollision) + rows.Count(State::kReordered),
                  failed);
}

std::string Counts(std::size_t renamed, std::size_t collided, std::size_t failed, std::size_t untried) {
    // TRANSLATORS: counts of the files renamed, and colliding with another name.
    std::string text =
        Translate::Fill(_("変更 %1件 ／ 重複 %2件"), {std::to_string(renamed), std::to_string(collided)});
    if (failed > 0) text += Translate::Fill(_(" ／ 失敗 %1件"), {std::to_string(failed)});
    if (untried > 0) text += Translate::Fill(_(" ／ 未処理 %1件"), {std::to_string(untried)});
    return text;
}

std::string SequentialReorder() {
    return std::string(_("同名ファイルができるので、このままではリネームは実施できません。")) + "\r\n" +
           _("ただし、重なる名前はすべてこの一覧のファイルのものです。") + "\r\n" +
           _("順序を入れ替えて変更しますか？");
}

std::string BatchReorder(std::size_t count) {
    return Translate::Fill(P_("%1個のファイルは、この一覧の他のファイルの現在の名前と重なります。",
                              "%1個のファイルは、この一覧の他のファイルの現在の名前と重なります。", count),
                           {std::to_string(count)}) +
           "\r\n" + _("順序を入れ替えて変更しますか？") + "\r\n" +
           _("（「いいえ」の場合、これらのファイルは変更されず \"*\" マークが付けられます）");
}

}  // namespace RunTexts
