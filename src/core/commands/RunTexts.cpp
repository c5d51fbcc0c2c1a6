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

constexpr std::string_view kBadPattern = "正規表現が正しくありません";
constexpr std::string_view kBadInputs = "入力項目が不足しているか、または不正値が入力されています";

// What is wrong with a pattern, after kBadPattern; empty where no kind says more.
std::string PatternErrorText(RegexRename::PatternError error) {
    using RegexRename::PatternError;
    switch (error) {
        case PatternError::kParentheses:
            return "括弧の対応が取れていません";
        case PatternError::kEscape:
            return "\\ の後に使えない文字があります";
        case PatternError::kSingleByte:
            return "\\C は文字を途中で分けるため使えません";
        case PatternError::kQuantifier:
            return "繰り返しの指定が正しくありません";
        case PatternError::kLookbehind:
            return "後読みには長さの決まった文字列しか使えません";
        case PatternError::kTooComplex:
            return "複雑すぎます";
        case PatternError::kNone:
        case PatternError::kOther:
            break;
    }
    return {};
}

}  // namespace

std::string SettingsPage() {
    return "「動作設定」ページからのリネームは行えません。";
}

std::string SequentialRefusal(const SequentialNames::RunCheck& check) {
    using Refusal = SequentialNames::RunCheck::Refusal;
    switch (check.refusal) {
        case Refusal::kNone:
            break;
        case Refusal::kInputs:
            return std::string(kBadInputs);
        case Refusal::kForbidden:
            return "固定文字にファイル名として使用できない文字 " + Cp932::ToUtf8Lossy(check.forbidden) +
                   " が使われています。";
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
            return "同名ファイルができるので、リネームは実施できません。";
        case Outcome::NumberOutOfRange:
            return std::string(kBadInputs);
        case Outcome::BadDate:
            // Built by append: GCC 12 warns of an overlap in "'" + std::string at -O2.
            return std::string("'")
                .append(Cp932::ToUtf8Lossy(detail))
                .append("' は日付または時刻ではありません");
    }
    return {};
}

std::string StringRefusal(const StringRename::Check& check) {
    using StringRename::Refusal;
    switch (check.refusal) {
        case Refusal::None:
            break;
        case Refusal::EmptyTarget:
            return "入力項目が不足しています";
        case Refusal::StarAlone:
            return "アスタリスク \"*\" の単独使用はできません。";
        case Refusal::QuestionAlone:
            return "クエスチョンマーク \"?\" の単独使用はできません。";
        case Refusal::StarAndQuestion:
            return "アスタリスク\"*\"とクエスチョンマーク\"?\"の混在指定はできません。";
        case Refusal::SeveralStars:
            return "アスタリスク \"*\" の複数使用はできません。";
        case Refusal::ForbiddenInReplacement:
            return "置換文字にファイル名として使用できない文字 " + Cp932::ToUtf8Lossy(check.forbidden) +
                   " が使われています。";
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
            const std::string at = "（" + std::to_string(check.position) + "文字目）";
            return what.empty() ? std::string(kBadPattern) + at
                                : std::string(kBadPattern) + "： " + what + at;
        }
        case Refusal::MissingGroup:
            return "置換文字列に存在しないグループ " + Cp932::ToUtf8Lossy(check.detail) +
                   " が使われています。";
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
            return "正規表現は正しく書かれていますが、ファイル " + name +
                   " の名前では照合に時間がかかりすぎます。";
        case RegexRename::StopReason::kFailed:
            break;
    }
    return "ファイル " + name + " の名前を正規表現と照合できませんでした。";
}

std::string NothingToRename(RenamePreview::NothingToRename::Run run) {
    using Run = RenamePreview::NothingToRename::Run;
    switch (run) {
        case Run::kString:
            return "対象のファイルがないか、変換結果が不正になるため、変換できません\r\n\r\n"
                   "対象文字が見つからないか、変換を行うと空白のファイル名ができる可能性があります。";
        case Run::kCase:
            return "処理対象ファイルが見つかりませんでした。";
        case Run::kDigit:
            return "桁揃え可能なファイルはありません";
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

std::string SequentialReorder() {
    return "同名ファイルができるので、このままではリネームは実施できません。\r\n"
           "ただし、重なる名前はすべてこの一覧のファイルのものです。\r\n"
           "順序を入れ替えて変更しますか？";
}

std::string BatchReorder(std::size_t count) {
    return std::to_string(count) +
           "個のファイルは、この一覧の他のファイルの現在の名前と重なります。\r\n"
           "順序を入れ替えて変更しますか？\r\n"
           "（「いいえ」の場合、これらのファイルは変更されず \"*\" マークが付けられます）";
}

}  // namespace RunTexts
