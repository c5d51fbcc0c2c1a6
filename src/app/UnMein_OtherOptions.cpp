// The options of the その他の処理 page: the case/width conversion (CB11) and digit alignment (CB7)
// exclude each other, and the extension options belong to the case items of the conversion menu.
#include <QCheckBox>

#include "app/RadioGroup.h"
#include "app/UnMein.h"

namespace {

bool IsWidthItem(const TRadioGroup* menu) {
    return menu->ItemIndex() == 2 || menu->ItemIndex() == 3;
}

}  // namespace

void TFmMein::CB11Click() {
    const bool converting = CB11->isChecked();
    RGTranc->setEnabled(converting);
    CBExt1->setEnabled(converting);
    CBExt2->setEnabled(converting);
    if (converting) CB7->setChecked(false);
    CB7->setEnabled(!converting);
}

void TFmMein::CB7Click() {
    CB11->setEnabled(!CB7->isChecked());
}

void TFmMein::RGTrancClick() {
    if (!IsWidthItem(RGTranc)) return;
    CBExt1->setChecked(false);
    CBExt2->setChecked(false);
}

void TFmMein::CBExt1Click() {
    if (!CBExt1->isChecked()) return;
    CBExt2->setChecked(false);
    if (IsWidthItem(RGTranc)) CBExt1->setChecked(false);
}

void TFmMein::CBExt2Click() {
    if (!CBExt2->isChecked()) return;
    CBExt1->setChecked(false);
    if (IsWidthItem(RGTranc)) CBExt2->setChecked(false);
}
