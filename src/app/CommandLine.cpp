#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <string_view>

#include "app/About.h"
#include "app/QtText.h"
#include "app/UnMein.h"

using QtText::Tr;

namespace CommandLine {

bool AsksOnlyForText(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--") return false;
        if (argument == "-h" || argument == "--help" || argument == "-v" || argument == "--version")
            return true;
    }
    return false;
}

namespace {

// The path an argument names, absolute and without "." or "..". A ".." that follows a link leads to
// the parent of the link's target, as the file system reads it; only where the path before it does
// not exist is it taken as text.
QString AbsolutePath(const QString& argument) {
    const QString path = QDir::current().absoluteFilePath(argument);
    const QStringList parts = path.split(QLatin1Char('/'));
    const qsizetype up = parts.lastIndexOf(QStringLiteral(".."));
    if (up < 0) return QDir::cleanPath(path);
    const QString upTo = QFileInfo(parts.first(up + 1).join(QLatin1Char('/'))).canonicalFilePath();
    if (upTo.isEmpty()) return QDir::cleanPath(path);
    return QDir::cleanPath(upTo + QLatin1Char('/') + parts.sliced(up + 1).join(QLatin1Char('/')));
}

// The section after Qt's own (Usage, Options, Arguments), in their form: an English heading, then
// indented lines. The manual page is made from them.
QString FilesSection() {
    return Tr("\nFiles:\n"
              "  <実行ファイル>.ini\n"
              "      設定ファイル。実行ファイルのフォルダに書き込めるとき (ビルドしたフォルダなど) "
              "に使います。\n"
              "  $XDG_CONFIG_HOME/quorbel/quorbel.ini\n"
              "      それ以外のときの設定ファイル。既定は ~/.config/quorbel/quorbel.ini です。\n"
              "  $XDG_STATE_HOME/quorbel/journal/\n"
              "      名前の変更と移動の記録。既定は ~/.local/state/quorbel/journal/ です。\n"
              "      ファイルメニューの「変更履歴...」で一覧にして、元に戻せます。\n"
              "  %1/guide.html\n"
              "      使い方 (画面の写真付き)。\n")
        .arg(QStringLiteral(QUORBEL_DOC_DIR));
}

}  // namespace

Request Parse(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(Tr(
        // Lines short enough for the manual page, which cannot break Japanese within a line.
        "ファイル名を一括で変更します。\n"
        "フォルダを 1 つ指定するとその中のファイルを、\n"
        "ファイルを指定するとそれらのファイルを一覧に読み込んで、\n"
        "ウィンドウを開きます。\n"
        "連番、文字列の置換 (ワイルドカードまたは正規表現)、\n"
        "大文字・小文字や全角・半角の変換、数字の桁揃えで名前を変更し、\n"
        "元に戻すこともできます。\n"
        "使い方はヘルプメニューの「使い方」で開きます。"));
    // Options of our own rather than Qt's, whose --help-all would describe Qt's options.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  Tr("この説明を表示します。"));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     Tr("バージョンを表示します。"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("FOLDER|FILE..."),
                                 Tr("一覧に読み込むフォルダ (1つ)、またはファイル"),
                                 QStringLiteral("[FOLDER | FILE...]"));

    Request request;
    if (!parser.parse(arguments)) {
        request.exitCode = 2;
        request.output = parser.errorText() + QLatin1Char('\n') + parser.helpText();
        return request;
    }
    if (parser.isSet(help)) {
        request.exitCode = 0;
        request.output = parser.helpText() + FilesSection();
        return request;
    }
    if (parser.isSet(version)) {
        request.exitCode = 0;
        request.output = About::VersionText();
        return request;
    }
    for (const QString& argument : parser.positionalArguments()) {
        if (!argument.isEmpty()) request.paths << AbsolutePath(argument);
    }
    return request;
}

int Finish(const Request& request) {
    const int code = request.exitCode.value_or(0);
    std::fputs(request.output.toLocal8Bit().constData(), code == 0 ? stdout : stderr);
    return code;
}

void Open(TFmMein& window, const QStringList& paths) {
    if (paths.isEmpty()) return;
    if (paths.size() == 1 && QFileInfo(paths.front()).isDir()) {
        window.OpenChosenFolder(paths.front());
        return;
    }
    window.FileDrop1FileDrop(nullptr, static_cast<int>(paths.size()), paths, 0, 0);
}

}  // namespace CommandLine
