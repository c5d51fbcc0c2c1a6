#include "app/ImageList.h"

#include <QString>
#include <array>

namespace ImageList {
namespace {

struct Image {
    const char* file;   // under :/quorbel/icons/, without extension
    const char* theme;  // freedesktop icon name, or nullptr for the program's own image
};

constexpr std::array<Image, kCount> kImages = {{
    {"00-open", "document-open"},
    {"01-next", "go-next"},
    {"02-history", nullptr},
    {"03-empty", nullptr},
    {"04-clear", "edit-clear"},
    {"05-undo", "edit-undo"},
    {"06-movefolder", "go-jump"},
    {"07-current", nullptr},
    {"08-on", nullptr},
    {"09-registered", nullptr},
    {"10-reload", nullptr},
    {"11-reload-none", nullptr},
    {"12-exit", "application-exit"},
    {"13-preview", nullptr},
}};

QIcon OwnIcon(const char* file) {
    const QString base = QStringLiteral(":/quorbel/icons/%1").arg(QLatin1String(file));
    QIcon icon;
    icon.addFile(base + QStringLiteral(".png"), QSize(16, 16));
    icon.addFile(base + QStringLiteral("@2x.png"), QSize(32, 32));
    return icon;
}

}  // namespace

QIcon Icon(int index) {
    Q_ASSERT(index >= 0 && index < kCount);
    const Image& image = kImages[static_cast<std::size_t>(index)];
    QIcon own = OwnIcon(image.file);
    return image.theme != nullptr ? QIcon::fromTheme(QLatin1String(image.theme), own) : own;
}

}  // namespace ImageList
