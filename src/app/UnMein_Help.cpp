// The help menu: the user guide and the About box.
#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>

#include "app/About.h"
#include "app/Guide.h"
#include "app/QtText.h"
#include "app/UnMein.h"

using QtText::Tr;

void TFmMein::mnGuideClick() {
    const std::optional<QString> guide = Guide::Find(QCoreApplication::applicationDirPath());
    if (!guide) {
        Message(Tr("使い方のファイル (guide.html) が見つかりません。"));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(*guide)))
        Message(Tr("使い方を開けませんでした。\n%1").arg(*guide));
}

void TFmMein::mnAboutClick() {
    dialogs_->ShowAbout(this, About::Title(), About::Text());
}
