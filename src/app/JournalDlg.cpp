#include "app/JournalDlg.h"
#include "app/QtText.h"
#include "core/commands/History.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using QtText::Tr;

namespace {

using RunJournal::State;

// The row's data: the command's id and whether it can be undone.
constexpr int kIdRole = Qt::UserRole;
constexpr int kUndoableRole = Qt::UserRole + 1;
constexpr int kColumnRoom = 12;  // pixels

}  // namespace

TJournalDlg::TJournalDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("JournalDlg"));
    setWindowTitle(Tr("変更履歴"));
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("JournalList"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    // A long folder keeps its last part in sight; the whole is its tooltip.
    list_->setTextElideMode(Qt::ElideMiddle);
    list_->setHeaderLabels({Tr("日時"), Tr("種類"), Tr("フォルダ"), Tr("ファイル数"), Tr("状態")});
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(2, QHeaderView::Stretch);

    auto* buttons = new QDialogButtonBox(this);
    undo_ = buttons->addButton(Tr("元に戻す"), QDialogButtonBox::ActionRole);
    undo_->setObjectName(QStringLiteral("btJournalUndo"));
    QPushButton* close = buttons->addButton(Tr("閉じる"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("btJournalClose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(undo_, &QPushButton::clicked, this, [this] {
        if (const auto id = SelectedId(); id && OnUndo) OnUndo(*id);
    });
    connect(list_, &QTreeWidget::itemSelectionChanged, this, &TJournalDlg::SelectionChanged);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    resize(760, 380);
    SelectionChanged();
}

void TJournalDlg::ShowCommands(const std::vector<RunJournal::Summary>& commands) {
    const std::optional<std::uint64_t> selected = SelectedId();
    list_->clear();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(commands.size()));
    for (const RunJournal::Summary& command : commands) {
        const RunJournal::Header& header = command.header;
        const QString when =
            QDateTime::fromSecsSinceEpoch(header.time).toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
        auto* row =
            new QTreeWidgetItem({when, QString::fromStdString(Command::KindText(header.kind)),
                                 QString::fromStdString(header.folder), QString::number(command.files),
                                 QString::fromStdString(Command::StateText(command.state))});
        row->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
        row->setToolTip(2, row->text(2));
        row->setData(0, kIdRole, QVariant::fromValue<qulonglong>(header.id));
        const bool undoable = command.state != State::kUndone && command.state != State::kRunning;
        row->setData(0, kUndoableRole, undoable);
        rows.push_back(row);
    }
    list_->addTopLevelItems(rows);
    // Every column but the folder fits its texts with some room; the folder takes the rest.
    for (const int col : {0, 1, 3, 4}) {
        list_->resizeColumnToContents(col);
        list_->setColumnWidth(col, list_->columnWidth(col) + kColumnRoom);
    }
    if (selected) Select(*selected);
    SelectionChanged();
}

std::optional<std::uint64_t> TJournalDlg::SelectedId() const {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) return std::nullopt;
    return selected.front()->data(0, kIdRole).toULongLong();
}

void TJournalDlg::Select(std::uint64_t id) {
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = list_->topLevelItem(i);
        if (row->data(0, kIdRole).toULongLong() != id) continue;
        list_->setCurrentItem(row);
        row->setSelected(true);
        return;
    }
}

void TJournalDlg::SelectionChanged() {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    undo_->setEnabled(!selected.isEmpty() && selected.front()->data(0, kUndoableRole).toBool());
}
