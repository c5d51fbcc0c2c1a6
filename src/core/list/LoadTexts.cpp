#include "core/list/LoadTexts.h"

#include "core/text/Translate.h"

namespace LoadTexts {

std::string CannotOpen(const std::string& folder) {
    return Translate::Fill(_("フォルダ %1 を開けません。"), {folder});
}

std::string NoFiles(const std::string& folder) {
    return Translate::Fill(_("%1にはファイルが見つかりません"), {folder});
}

std::string AllFiltered(const std::string& folder) {
    return Translate::Fill(_("%1には、ファイルが見つかりません"), {folder});
}

std::string Unlisted(std::size_t count) {
    return Translate::Fill(P_("%1個のファイルは名前を扱えないため、一覧に加えませんでした。",
                              "%1個のファイルは名前を扱えないため、一覧に加えませんでした。", count),
                           {std::to_string(count)});
}

}  // namespace LoadTexts
