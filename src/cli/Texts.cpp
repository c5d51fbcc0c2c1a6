#include "cli/Texts.h"

#include <type_traits>
#include <variant>

#include "cli/Selection.h"
#include "core/list/MyFileOperation.h"

namespace Cli::Texts {
namespace {

const std::string kBadPattern = "正規表現が正しくありません";
const std::string kBadInputs = "入力項目が不足しているか、または不正値が入力されています";

std::string SequentialRefusal(const SequentialNames::RunCheck& check) {
    using Refusal = SequentialNames::RunCheck::Refusal;
    switch (check.refusal) {
        case Refusal::kNone:
            break;
        case Refusal::kInputs:
            return kBadInputs;
        case Refusal::kForbidden:
            return "固定文字にファイル名として使用できない文字 " + Shown(check.forbidden) +
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
            return "対象ファイル " + Shown(detail) + " が見つかりません。";
        case Outcome::Collision:
            return "同名ファイルができるので、リネームは実施できません。";
        case Outcome::NumberOutOfRange:
            return kBadInputs;
        case Outcome::BadDate:
            return std::string("'").append(Shown(detail)).append("' は日付または時刻ではありません");
    }
    return {};
}

std::string StringRefusal(StringRename::Refusal refusal, const std::string& forbidden) {
    using StringRename::Refusal;
    switch (refusal) {
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
            return "置換文字にファイル名として使用できない文字 " + Shown(forbidden) + " が使われています。";
    }
    return {};
}

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

std::string RegexRefusal(const RegexRename::Check& check) {
    using RegexRename::Refusal;
    switch (check.refusal) {
        case Refusal::None:
            break;
        case Refusal::EmptyTarget:
            return StringRefusal(StringRename::Refusal::EmptyTarget, {});
        case Refusal::BadPattern: {
            const std::string what = PatternErrorText(check.error);
            const std::string at = "（" + std::to_string(check.position) + "文字目）";
            return what.empty() ? kBadPattern + at : kBadPattern + "： " + what + at;
        }
        case Refusal::MissingGroup:
            return "置換文字列に存在しないグループ " + Shown(check.detail) + " が使われています。";
        case Refusal::ForbiddenInReplacement:
            return StringRefusal(StringRename::Refusal::ForbiddenInReplacement, check.detail);
    }
    return {};
}

std::string RegexStopped(RegexRename::StopReason reason, const std::string& path) {
    const std::string name = Shown(std::string(MyFileOperation::SplitAtLastDelimiter(path).name));
    if (reason == RegexRename::StopReason::kTooLong)
        return "正規表現は正しく書かれていますが、ファイル " + name +
               " の名前では照合に時間がかかりすぎます。";
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

}  // namespace

std::string Refusal(const RenamePreview::Refusal& refusal) {
    return std::visit(
        [](const auto& why) -> std::string {
            using Why = std::decay_t<decltype(why)>;
            if constexpr (std::is_same_v<Why, std::monostate>) {
                return {};
            } else if constexpr (std::is_same_v<Why, RenamePreview::SettingsPageRefused>) {
                return "「動作設定」ページからのリネームは行えません。";
            } else if constexpr (std::is_same_v<Why, SequentialNames::RunCheck>) {
                return SequentialRefusal(why);
            } else if constexpr (std::is_same_v<Why, RenamePreview::SequentialStopped>) {
                return SequentialStop(why.outcome, why.detail);
            } else if constexpr (std::is_same_v<Why, StringRename::Check>) {
                return StringRefusal(why.refusal, why.forbidden);
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

std::string CannotOpen(const std::string& folder) {
    return "フォルダ " + folder + " を開けません。";
}

std::string NoFiles(const std::string& folder) {
    return folder + "にはファイルが見つかりません";
}

std::string AllFiltered(const std::string& folder) {
    return folder + "には、ファイルが見つかりません";
}

std::string Unlisted(std::size_t count) {
    return std::to_string(count) + "個のファイルは名前を扱えないため、一覧に加えませんでした。";
}

std::string ReasonOf(RenamePreview::State state) {
    using State = RenamePreview::State;
    switch (state) {
        case State::kUnchanged:
        case State::kRenamed:
            break;
        case State::kCollision:
            return "同じ名前のファイルがあるため、変更されません";
        case State::kReordered:
            return "順序を入れ替えると変更できます";
        case State::kUnusable:
            return "ファイル名に使えない名前のため、変更されません";
        case State::kTooLong:
            return "名前が長すぎるため、変更されません";
        case State::kMissing:
            return "ファイルが見つからないため、変更されません";
        case State::kRefused:
            return "名前を変更できないため、変更されません";
    }
    return {};
}

std::string Counts(std::size_t renamed, std::size_t collisions, std::size_t failed) {
    std::string text = "変更 " + std::to_string(renamed) + "件 ／ 重複 " + std::to_string(collisions) + "件";
    if (failed > 0) text += " ／ 失敗 " + std::to_string(failed) + "件";
    return text;
}

std::string KindText(RunJournal::Kind kind) {
    using RunJournal::Kind;
    switch (kind) {
        case Kind::kSequential:
            return "連番";
        case Kind::kString:
            return "文字列";
        case Kind::kCaseWidth:
            return "大文字小文字・幅";
        case Kind::kDigit:
            return "桁揃え";
        case Kind::kUndo:
        case Kind::kRevert:
        case Kind::kRecovery:
            return "元に戻す";
        case Kind::kMove:
            return "移動";
    }
    return {};
}

std::string StateText(RunJournal::State state) {
    using RunJournal::State;
    switch (state) {
        case State::kCompleted:
            return "完了";
        case State::kUndone:
            return "元に戻し済み";
        case State::kRunning:
            return "実行中";
        case State::kInterrupted:
        case State::kClosedAsFound:
            return "中断";
    }
    return {};
}

}  // namespace Cli::Texts
