#include "cli/Texts.h"

namespace Cli::Texts {

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
