// Building and tearing down the browse dialog's window and its parts.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QTreeView>

#include "components/BrowseDlg.h"
#include "components/BrowseDlg_Parts.h"
#include "components/ComponentText.h"

using ComponentText::Tr;

namespace BrowseDlg {

Window::Window(QWidget* owner, std::function<void()> onReject)
    : QDialog(owner), onReject_(std::move(onReject)) {}

void Window::reject() {
    if (onReject_) {
        onReject_();
    } else {
        QDialog::reject();
    }
}

RootFilter::RootFilter(QFileSystemModel* source, QString rootPath, QObject* parent)
    : QSortFilterProxyModel(parent), source_(source), rootPath_(std::move(rootPath)) {
    setSourceModel(source);
}

bool RootFilter::filterAcceptsColumn(int sourceColumn, const QModelIndex& /*sourceParent*/) const {
    return sourceColumn == 0;
}

QVariant RootFilter::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && section == 0 && role == Qt::DisplayRole) return Tr("フォルダ名");
    return QSortFilterProxyModel::headerData(section, orientation, role);
}

void FolderTree::scrollTo(const QModelIndex& index, ScrollHint hint) {
    QTreeView::scrollTo(index, hint);
    horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
}

void FolderTree::mousePressEvent(QMouseEvent* event) {
    ByUser([&] { QTreeView::mousePressEvent(event); });
}

void FolderTree::mouseMoveEvent(QMouseEvent* event) {
    ByUser([&] { QTreeView::mouseMoveEvent(event); });
}

void FolderTree::mouseReleaseEvent(QMouseEvent* event) {
    ByUser([&] { QTreeView::mouseReleaseEvent(event); });
}

void FolderTree::mouseDoubleClickEvent(QMouseEvent* event) {
    ByUser([&] { QTreeView::mouseDoubleClickEvent(event); });
}

void FolderTree::keyPressEvent(QKeyEvent* event) {
    ByUser([&] { QTreeView::keyPressEvent(event); });
}

bool RootFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    if (rootPath_ == QLatin1String("/")) return true;
    const QString path = source_->filePath(source_->index(sourceRow, 0, sourceParent));
    const QString asFolder = path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
    return path == rootPath_ || path.startsWith(rootPath_ + QLatin1Char('/')) ||
           rootPath_.startsWith(asFolder);
}

}  // namespace BrowseDlg

TBrowseDlg::Parts::Parts() = default;

TBrowseDlg::Parts::~Parts() {
    delete window.data();
}

QWidget* TBrowseDlg::Parts::CustomEdit() const {
    if (edit) return edit;
    return combo;
}

namespace {

QLabel* MakeTextLine(QWidget* window, const char* name, const QString& text) {
    auto* label = new QLabel(window);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(false);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setText(text);
    label->setAccessibleName(text);
    return label;
}

}  // namespace

void TBrowseDlg::BuildWindow() {
    rootPath_ = BrowseDlg::ResolveRoot(root_, specialRoot_);
    parts_ = std::make_unique<Parts>();

    QWidget* owner = qobject_cast<QWidget*>(parent());
    owner = owner ? owner->window() : QApplication::activeWindow();
    parts_->window = new BrowseDlg::Window(owner, [this] { Cancelled(); });
    QDialog* window = parts_->window.data();
    window->setObjectName(QStringLiteral("BrowseDlgWindow"));
    window->setWindowTitle(caption_);
    window->setAccessibleName(caption_);

    parts_->text1 = MakeTextLine(window, "Text1", text1_);
    parts_->text2 = MakeTextLine(window, "Text2", text2_);
    BuildCustomEdit();
    BuildTree();
    BuildCustomButton();

    parts_->ok = new QPushButton(okBtnCaption_, window);
    parts_->ok->setObjectName(QStringLiteral("OKButton"));
    parts_->ok->setAccessibleName(BrowseDlg::StripMnemonic(okBtnCaption_));
    parts_->ok->setDefault(true);
    connect(parts_->ok, &QPushButton::clicked, this, [this] { OKClicked(); });

    parts_->cancel = new QPushButton(cancelBtnCaption_, window);
    parts_->cancel->setObjectName(QStringLiteral("CancelButton"));
    parts_->cancel->setAccessibleName(BrowseDlg::StripMnemonic(cancelBtnCaption_));
    connect(parts_->cancel, &QPushButton::clicked, window, &QDialog::reject);

    // Keyboard order follows the screen: edit, tree, then the button row from left to right.
    QWidget* previous = parts_->CustomEdit();
    for (QWidget* next : {static_cast<QWidget*>(parts_->tree), static_cast<QWidget*>(parts_->custom),
                          static_cast<QWidget*>(parts_->ok), static_cast<QWidget*>(parts_->cancel)}) {
        if (!next) continue;
        if (previous) QWidget::setTabOrder(previous, next);
        previous = next;
    }
    parts_->tree->setFocus();
    UpdateOwnOKState();
}

void TBrowseDlg::BuildTree() {
    QDialog* window = parts_->window.data();
    parts_->icons = std::make_unique<QFileIconProvider>();
    parts_->model = std::make_unique<QFileSystemModel>();
    QFileSystemModel* model = parts_->model.get();
    model->setReadOnly(true);
    // The desktop theme's folder icons, else the style's; the model alone knows only theme icons.
    model->setIconProvider(parts_->icons.get());
    // Hidden folders are listed like any other; devices, sockets and pipes never are.
    QDir::Filters filters = QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden;
    if (options_.testFlag(TBrowseOption::boIncludeFiles)) filters |= QDir::Files;
    model->setFilter(filters);
    model->setRootPath(rootPath_);
    parts_->filter = std::make_unique<BrowseDlg::RootFilter>(model, rootPath_, nullptr);

    auto* tree = new BrowseDlg::FolderTree(window);
    parts_->tree = tree;
    tree->setObjectName(QStringLiteral("FolderTree"));
    tree->setAccessibleName(Tr("フォルダ ツリー"));
    tree->setModel(parts_->filter.get());
    tree->setHeaderHidden(true);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setUniformRowHeights(true);
    tree->setAnimated(false);
    tree->header()->setStretchLastSection(false);
    tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);

    // The root is the one top-level item, shown open and selected, as the dialog starts.
    const QModelIndex rootSource = model->index(rootPath_);
    tree->setRootIndex(parts_->filter->mapFromSource(rootSource.parent()));
    connect(tree->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { SelectionChanged(); });
    // Folders are read in the background; entries that arrive or are sorted above a folder chosen
    // by path must not push it out of sight, until the user takes the tree in hand.
    auto keepInView = [this] {
        if (!parts_ || !parts_->followSelection) return;
        QTimer::singleShot(0, parts_->tree, [this] {
            if (parts_ && parts_->followSelection) parts_->tree->scrollTo(parts_->tree->currentIndex());
        });
    };
    connect(parts_->filter.get(), &QAbstractItemModel::rowsInserted, this, keepInView);
    connect(parts_->filter.get(), &QAbstractItemModel::layoutChanged, this, keepInView);
    for (QObject* watched : {static_cast<QObject*>(tree), static_cast<QObject*>(tree->viewport()),
                             static_cast<QObject*>(tree->verticalScrollBar())}) {
        watched->installEventFilter(this);
    }
    const QModelIndex root = parts_->filter->mapFromSource(rootSource);
    tree->expand(root);
    tree->setCurrentIndex(root);
}

void TBrowseDlg::BuildCustomEdit() {
    QDialog* window = parts_->window.data();
    QWidget* edit = nullptr;
    if (customEditType_ == TCustomEditType::ceEdit) {
        parts_->edit = new QLineEdit(window);
        parts_->edit->setText(customEditText_);
        connect(parts_->edit, &QLineEdit::textEdited, this, [this] { parts_->pathChosen = true; });
        edit = parts_->edit;
    } else if (customEditType_ == TCustomEditType::ceComboBox) {
        auto* combo = new QComboBox(window);
        parts_->combo = combo;
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->addItems(customEditItems_);
        combo->setEditText(customEditText_);
        connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this] { parts_->pathChosen = true; });
        connect(combo, &QComboBox::activated, this, [this](int index) { CustomEditActivated(index); });
        edit = combo;
    }
    if (!edit) return;
    edit->setObjectName(QStringLiteral("CustomEdit"));
    edit->setAccessibleName(Tr("選択したフォルダのパス"));
    edit->resize(edit->width(), edit->sizeHint().height());
}

void TBrowseDlg::BuildCustomButton() {
    QDialog* window = parts_->window.data();
    if (customBtnType_ == TCustomBtnType::cbButton) {
        parts_->custom = new QPushButton(window);
    } else if (customBtnType_ == TCustomBtnType::cbCheckBox) {
        auto* box = new QCheckBox(window);
        box->setChecked(customBtnChecked_);
        parts_->custom = box;
    } else {
        return;
    }
    QAbstractButton* button = parts_->custom;
    button->setObjectName(QStringLiteral("CustomButton"));
    button->setText(customBtnCaption_);
    button->setAccessibleName(BrowseDlg::StripMnemonic(customBtnCaption_));
    button->setEnabled(customBtnEnabled_);
    button->setVisible(customBtnVisible_);
    connect(button, &QAbstractButton::clicked, this, [this] { emit OnCustomBtnClick(); });
}

void TBrowseDlg::DestroyWindow() {
    if (!parts_) return;
    // Tearing the tree down clears its selection; that is no choice of the user's.
    shown_ = false;
    if (parts_->window) disconnect(parts_->tree->selectionModel(), nullptr, this, nullptr);
    parts_.reset();
}
