// The text of --help, from which the manual page is made too: help2man reads "Usage:", the
// sections named by a line ending in ":" and the option lines indented under them. Lines stay short
// enough for the manual page, which cannot break Japanese within a line.
#include "cli/Args.h"
#include "core/text/Translate.h"

namespace Cli {

std::string HelpText() {
    // The section names stay English in every language: help2man reads them.
    std::string help = "Usage: quorbel-cli COMMAND [OPTION]... [FOLDER|FILE]...\n";
    help +=
        _("ファイル名を一括で変更します。ウィンドウ (quorbel) と同じ処理で、\n"
          "同じ変更履歴に記録されます (どちらからでも元に戻せます)。\n"
          "--apply を付けなければ何も変更せず、ファイルごとに\n"
          "新しい名前と結果 (変更、重複、失敗とその理由、変更なし) を表示します。\n"
          "フォルダはその中のファイルを、ファイルはそのファイルを対象にします。\n");
    help += "\nCommands:\n";
    help +=
        _("  seq        連番などを組み合わせて名前を付けます\n"
          "  replace    名前の文字列を置換します (ワイルドカード * ? または正規表現)\n"
          "  case       大文字・小文字、全角・半角を変換します\n"
          "  digits     名前の中の数字の桁をゼロで揃えます\n"
          "  history    変更履歴を新しい順に 1 行 1 処理で表示します\n"
          "  undo [ID]  直前の処理、または変更履歴の ID の処理を元に戻します\n"
          "  recover    中断された処理を元に戻します\n");
    help += "\nOptions:\n";
    help +=
        _("  --apply               実際に名前を変更します。付けなければ結果の表示だけです。\n"
          "  --yes, --no           確認 (順序の入れ替え、不足ファイル) に答えます。\n"
          "                        標準入力が端末なら端末で尋ね、そうでなければ\n"
          "                        どちらも付けないとき「いいえ」になります。\n"
          "  --json                1 行に 1 つの JSON オブジェクトで出力します (下記)。\n"
          "  -r, --recursive       フォルダのサブフォルダのファイルも対象にします。\n"
          "  --from FILE           FILE (- は標準入力) の 1 行 1 パスも対象にします。\n"
          "  -0, --null            パスを改行でなく NUL で区切って読みます\n"
          "                        (--from とともに。find -print0 の出力を読めます)。\n"
          "  --ext LIST            LIST (; 区切り、例: jpg;png) の拡張子の\n"
          "                        ファイルだけを対象にします。\n"
          "  --not-ext LIST        LIST の拡張子のファイルを対象から外します。\n"
          "  --sort KEY            並び順: name (名前、既定)、modified (更新日時)、\n"
          "                        taken (撮影日時)。\n"
          "  -h, --help            この説明を表示します。\n"
          "  --version             バージョンを表示します。\n");
    help += "\nSeq options:\n";
    help +=
        _("  --lead TEXT           先頭の固定文字。\n"
          "  --start N             連番の初期値。桁数が連番の桁数になります\n"
          "                        (001 なら 3 桁)。\n"
          "  --step N              連番の増加量 (既定 1)。\n"
          "  --trail TEXT          末尾の固定文字。\n"
          "  --new-ext EXT         拡張子を EXT に変えます。\n"
          "  --keep-name           元のファイル名 (最初の . の前まで) を残します。\n"
          "  --folder-name         フォルダ名を先頭に付けます。\n"
          "  --reset-per-folder    フォルダが変わると連番を初期値に戻します。\n"
          "  --date                ファイルの更新日付を名前に入れます。\n"
          "  --date-format FORMAT  日付の形式: yyyymmdd (既定)、yyyy_mm_dd、\n"
          "                        yymmdd、yy_mm_dd。\n"
          "  --no-date-separator   日付の前に _ を入れません。\n"
          "  --date-at-end         日付を連番と末尾の固定文字の後に付けます。\n"
          "  --date-taken          写真は撮影日時を使います (ないものは更新日時)。\n");
    help += "\nReplace options:\n";
    help +=
        _("  --find TEXT           対象の文字列。* か ? のどちらか一方を使えます。\n"
          "  --replace TEXT        置換する文字列 (空でもかまいません)。\n"
          "  --regex               対象の文字列を正規表現とします。\n"
          "                        置換する文字列の $1 などがグループです。\n"
          "  --include-ext         拡張子も処理対象に含めます。\n"
          "  --case-sensitive      大文字と小文字を区別して探します。\n");
    help += "\nCase options:\n";
    help +=
        _("  --to TARGET           upper (大文字に)、lower (小文字に)、\n"
          "                        full-width (全角に)、\n"
          "                        half-width (半角に)。\n"
          "  --name-only           拡張子は対象外にします (upper、lower のとき)。\n"
          "  --ext-only            拡張子だけを変換します (upper、lower のとき)。\n");
    help += "\nJSON:\n";
    help +=
        _("  ファイルごとに {\"type\":\"file\",\"old\":...,\"new\":...,\"status\":...,\"reason\":...}、\n"
          "  最後に {\"type\":\"summary\",\"applied\":...,\"renamed\":N,\"unchanged\":N,\n"
          "  \"collision\":N,\"failed\":N,\"untried\":N,\"refusal\":...,\"exit\":N} を出力します。\n"
          "  status は renamed、unchanged、collision、reordered、unusable、too-long、\n"
          "  missing、refused、failed、untried のいずれかです。\n"
          "  history は 1 処理ごとに {\"type\":\"command\",\"id\":N,\"time\":秒,\"kind\":...,\n"
          "  \"folder\":...,\"files\":N,\"state\":...}、recover は type が interrupted で\n"
          "  done (変更済みのファイル数) が加わります。\n"
          "  kind は sequential、string、case-width、digit、undo、revert、move、recovery、\n"
          "  state は completed、undone、running、interrupted のいずれかです。\n"
          "  UTF-8 でないバイトは \\udcNN と書きます (Python の surrogateescape)。\n"
          "  テキスト出力では \\xNN、改行は \\n、\\ は \\\\ と書きます。\n");
    help += "\nExit status:\n";
    help +=
        _("  0    すべて (予定どおり) 変更した、または変更できる\n"
          "  1    処理が拒否され、何も変更していない\n"
          "  2    変更できなかったファイルがある\n"
          "  64   コマンドラインの誤り\n"
          "  130  Ctrl-C で中止した (変更済みのファイルは変更履歴にあります)\n");
    help += "\nFiles:\n";
    help +=
        _("  $XDG_STATE_HOME/quorbel/journal/\n"
          "      変更履歴。既定は ~/.local/state/quorbel/journal/ です。\n");
    return help;
}

}  // namespace Cli
