#include "app/RunMessages.h"

#include "app/QtText.h"
#include "core/list/MyFileOperation.h"

#include <type_traits>
#include <variant>

using QtText::ToQt;

namespace RunMessages {
namespace {

const QString kBadPattern = QStringLiteral("正規表現が正しくありません");
const QString kBadInputs = QStringLiteral("入力項目が不足しているか、または不正値が入力されています");

// What is wrong with a pattern, after kBadPattern; empty where no kind says more.
QString PatternErrorText(RegexRename::PatternError error) {
    using RegexRename::PatternError;
    switch (error) {
        case PatternError::kParentheses:
            return QStringLiteral("括弧の対応が取れていません");
        case PatternError::kEscape:
            return QStringLiteral("\\ の後に使えない文字があります");
        case PatternError::kSingleByte:
            return QStringLiteral("\\C は文字を途中で分けるため使えません");
        case PatternError::kQuantifier:
            return QStringLiteral("繰り返しの指定が正しくありません");
        case PatternError::kLookbehind:
            return QStringLiteral("後読みには長さの決まった文字列しか使えません");
        case PatternError::kTooComplex:
            return QStringLiteral("複雑すぎます");
        case PatternError::kNone:
        case PatternError::kOther:
            break;
    }
    return {};
}

}  // namespace

QString SettingsPage() {
    return QStringLiteral("「動作設定」ページからのリネームは行えません。");
}

QString SequentialRefusal(const SequentialNames::RunCheck& check) {
    using Refusal = SequentialNames::RunCheck::Refusal;
    switch (check.refusal) {
        case Refusal::kNone:
            break;
        case Refusal::kInputs:
            return kBadInputs;
        case Refusal::kForbidden:
            return QStringLiteral("固定文字にファイル名として使用できない文字 ") + ToQt(check.forbidden) +
                   QStringLiteral(" が使われています。");
    }
    return {};
}

QString SequentialStop(SequentialNames::Outcome outcome, const std::string& detail) {
    using Outcome = SequentialNames::Outcome;
    switch (outcome) {
        case Outcome::Composed:
        case Outcome::EmptyList:
            break;
        case Outcome::MissingFile:
            return MissingFile(detail);
        case Outcome::Collision:
            return QStringLiteral("同名ファイルができるので、リネームは実施できません。");
        case Outcome::NumberOutOfRange:
            return kBadInputs;
        case Outcome::BadDate:
            return QStringLiteral("'") + ToQt(detail) + QStringLiteral("' は日付または時刻ではありません");
    }
    return {};
}

QString MissingFile(const std::string& path) {
    return QStringLiteral("対象ファイル ") + ToQt(path) + QStringLiteral(" が見つかりません。");
}

QString StringRefusal(const StringRename::Check& check) {
    using StringRename::Refusal;
    switch (check.refusal) {
        case Refusal::None:
            break;
        case Refusal::EmptyTarget:
            return QStringLiteral("入力項目が不足しています");
        case Refusal::StarAlone:
            return QStringLiteral("アスタリスク \"*\" の単独使用はできません。");
        case Refusal::QuestionAlone:
            return QStringLiteral("クエスチョンマーク \"?\" の単独使用はできません。");
        case Refusal::StarAndQuestion:
            return QStringLiteral("アスタリスク\"*\"とクエスチョンマーク\"?\"の混在指定はできません。");
        case Refusal::SeveralStars:
            return QStringLiteral("アスタリスク \"*\" の複数使用はできません。");
        case Refusal::ForbiddenInReplacement:
            return QStringLiteral("置換文字にファイル名として使用できない文字 ") + ToQt(check.forbidden) +
                   QStringLiteral(" が使われています。");
    }
    return {};
}

QString RegexRefusal(const RegexRename::Check& check) {
    using RegexRename::Refusal;
    switch (check.refusal) {
        case Refusal::None:
            break;
        case Refusal::EmptyTarget:
            return StringRefusal(StringRename::Check{StringRename::Refusal::EmptyTarget, {}});
        case Refusal::BadPattern: {
            const QString what = PatternErrorText(check.error);
            const QString at =
                QStringLiteral("（") + QString::number(check.position) + QStringLiteral("文字目）");
            return what.isEmpty() ? kBadPattern + at : kBadPattern + QStringLiteral("： ") + what + at;
        }
        case Refusal::MissingGroup:
            return QStringLiteral("置換文字列に存在しないグループ ") + ToQt(check.detail) +
                   QStringLiteral(" が使われています。");
        case Refusal::ForbiddenInReplacement:
            return StringRefusal(
                StringRename::Check{StringRename::Refusal::ForbiddenInReplacement, check.detail});
    }
    return {};
}

QString RegexStopped(RegexRename::StopReason reason, const std::string& path) {
    const QString name = ToQt(MyFileOperation::SplitAtLastDelimiter(path).name);
    switch (reason) {
        case RegexRename::StopReason::kTooLong:
            return QStringLiteral("正規表現は正しく書かれていますが、ファイル ") + name +
                   QStringLiteral(" の名前では照合に時間がかかりすぎます。");
        case RegexRename::StopReason::kFailed:
            break;
    }
    return QStringLiteral("ファイル ") + name + QStringLiteral(" の名前を正規表現と照合できませんでした。");
}

QString NothingToRename(RenamePreview::NothingToRename::Run run) {
    using Run = RenamePreview::NothingToRename::Run;
    switch (run) {
        case Run::kString:
            return QStringLiteral(
                "対象のファイルがないか、変換結果が不正になるため、変換できません\r\n\r\n"
                "対象文字が見つからないか、変換を行うと空白のファイル名ができる可能性があります。");
        case Run::kCase:
            return QStringLiteral("処理対象ファイルが見つかりませんでした。");
        case Run::kDigit:
            return QStringLiteral("桁揃え可能なファイルはありません");
    }
    return {};
}

QString PreviewRefusal(const RenamePreview::Refusal& refusal) {
    return std::visit(
        [](const auto& why) -> QString {
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

}  // namespace RunMessages
