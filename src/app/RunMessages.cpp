#include "app/RunMessages.h"

#include "app/QtText.h"

#include <type_traits>
#include <variant>

using QtText::ToQt;

namespace RunMessages {
namespace {

const QString kBadPattern = QStringLiteral("正規表現が正しくありません： ");
const QString kBadInputs = QStringLiteral("入力項目が不足しているか、または不正値が入力されています");

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
        case Refusal::BadPattern:
            return kBadPattern + ToQt(check.detail) + QStringLiteral("（") + QString::number(check.position) +
                   QStringLiteral("文字目）");
        case Refusal::MissingGroup:
            return QStringLiteral("置換文字列に存在しないグループ ") + ToQt(check.detail) +
                   QStringLiteral(" が使われています。");
        case Refusal::ForbiddenInReplacement:
            return StringRefusal(
                StringRename::Check{StringRename::Refusal::ForbiddenInReplacement, check.detail});
    }
    return {};
}

QString RegexStopped(const std::string& message) {
    return kBadPattern + ToQt(message);
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
            } else {
                static_assert(std::is_same_v<Why, RenamePreview::RegexStopped>);
                return RegexStopped(why.message);
            }
        },
        refusal);
}

}  // namespace RunMessages
