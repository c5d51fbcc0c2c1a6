#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <string_view>

#include "app/UnMein.h"

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

}  // namespace

Request Parse(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("ファイル名を一括で変更します。"));
    // Options of our own rather than Qt's, whose --help-all would describe Qt's options.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("この説明を表示します。"));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("バージョンを表示します。"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("FOLDER|FILE..."),
                                 QStringLiteral("一覧に読み込むフォルダ (1つ)、またはファイル"),
                                 QStringLiteral("[FOLDER | FILE...]"));

    Request request;
    if (!parser.parse(arguments)) {
        request.exitCode = 2;
        request.output = parser.errorText() + QLatin1Char('\n') + parser.helpText();
        return request;
    }
    if (parser.isSet(help)) {
        request.exitCode = 0;
        request.output = parser.helpText();
        return request;
    }
    if (parser.isSet(version)) {
        request.exitCode = 0;
        request.output = QStringLiteral("quorbel " QUORBEL_VERSION "\n");
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
