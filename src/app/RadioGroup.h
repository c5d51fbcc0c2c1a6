#pragma once

#include <QGroupBox>
#include <QStringList>
#include <vector>

class QButtonGroup;
class QRadioButton;

// A titled group of radio buttons addressed by item index, the buttons spread evenly down the box, in
// one column or side by side in several.
// Click is raised whenever another item becomes selected, by the user or by SetItemIndex.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString& title, const QStringList& items, QWidget* parent);

    // Names the group and its buttons (name_0, name_1, ...).
    void SetName(const QString& name);

    int ItemIndex() const;
    void SetItemIndex(int index);
    int Count() const { return static_cast<int>(buttons_.size()); }
    // Items fill the columns row by row.
    void SetColumns(int columns);
    QRadioButton* Button(int index) const { return buttons_.at(static_cast<std::size_t>(index)); }

signals:
    void Click();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceButtons();

    QButtonGroup* group_;
    std::vector<QRadioButton*> buttons_;
    int columns_ = 1;
};
