// The help menu: the user guide and the About box.
#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>

#include "app/About.h"
#include "app/Guide.h"
#include "app/UnMein.h"

void TFmMein::mnGuideClick() {
    const std::optional<QString> guide = Guide::Find(QCoreApplication::applicationDirPath());
    if (!guide) {
        Message(QStringLiteral("使い方のファイル (guide.html) が見つかりません。"));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(*guide)))
        Message(QStringLiteral("使い方を開けませんでした。\n") + *guide);
}

void TFmMein::mnAboutClick() {
    dialogs_->ShowAbout(this, About::Title(), About::Text());
}
