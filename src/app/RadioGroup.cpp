#include "app/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>

TRadioGroup::TRadioGroup(const QString& title, const QStringList& items, QWidget* parent)
    : QGroupBox(title, parent), group_(new QButtonGroup(this)) {
    setAccessibleName(title);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        button->setAccessibleName(items[i]);
        group_->addButton(button, i);
        buttons_.push_back(button);
    }
    connect(group_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) emit Click();
    });
}

void TRadioGroup::SetName(const QString& name) {
    setObjectName(name);
    for (int i = 0; i < Count(); ++i)
        Button(i)->setObjectName(QStringLiteral("%1_%2").arg(name).arg(i));
}

int TRadioGroup::ItemIndex() const {
    return group_->checkedId();
}

// Not const: it changes which item is selected, although through a child widget.
void TRadioGroup::SetItemIndex(int index) {  // NOLINT(readability-make-member-function-const)
    if (index >= 0 && index < Count()) Button(index)->setChecked(true);
}

void TRadioGroup::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    PlaceButtons();
}

void TRadioGroup::SetColumns(int columns) {
    columns_ = std::max(columns, 1);
    PlaceButtons();
}

void TRadioGroup::PlaceButtons() {
    if (buttons_.empty()) return;
    const QRect area = contentsRect();
    const int count = Count();
    const int rows = (count + columns_ - 1) / columns_;
    const int step = area.height() / rows;
    const int width = (area.width() - 4) / columns_;
    for (int i = 0; i < count; ++i) {
        QRadioButton* button = buttons_[static_cast<std::size_t>(i)];
        const int height = std::min(step, button->sizeHint().height());
        const int row = i / columns_;
        const int column = i % columns_;
        button->setGeometry(area.left() + 4 + column * width, area.top() + row * step + (step - height) / 2,
                            width, height);
    }
}
