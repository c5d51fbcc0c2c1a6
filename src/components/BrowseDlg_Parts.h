#pragma once

// The widgets of an open TBrowseDlg, shared by its source files only.
#include <QDialog>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QPointer>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <functional>
#include <memory>

#include "components/BrowseDlg.h"

class QLabel;
class QLineEdit;
class QComboBox;
class QPushButton;
class QAbstractButton;

namespace BrowseDlg {

// The dialog window; every way of dismissing it (Cancel, Escape, the close box) goes through
// reject() and so through the owner's Cancel handling.
class Window : public QDialog {
public:
    Window(QWidget* owner, std::function<void()> onReject);
    void reject() override;
    void Dismiss() { QDialog::reject(); }

private:
    std::function<void()> onReject_;
};

// Shows the root folder as the one top-level item: of the root's ancestors only the line leading
// to the root is kept. Only the folder names are shown (and told to assistive tools); the file
// system's size, type and date columns are left out.
class RootFilter : public QSortFilterProxyModel {
public:
    RootFilter(QFileSystemModel* source, QString rootPath, QObject* parent);
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool filterAcceptsColumn(int sourceColumn, const QModelIndex& sourceParent) const override;

private:
    QFileSystemModel* source_;
    QString rootPath_;
};

// The folder tree. Going to a folder deep down scrolls it into view from top to bottom only: the
// tree stays scrolled to the left, so the root and the parents' expand arrows stay in sight.
// It also tells whether a change of its selection comes from the user's hand (mouse or keys).
class FolderTree : public QTreeView {
public:
    using QTreeView::QTreeView;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    bool InUserInput() const { return userInput_ > 0; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    template <typename Handler>
    void ByUser(Handler handler) {
        ++userInput_;
        handler();
        --userInput_;
    }
    int userInput_ = 0;
};

}  // namespace BrowseDlg

struct TBrowseDlg::Parts {
    // The model outlives the window's widgets, so tearing them down never reports a selection
    // change from a dying model; the icons outlive the model.
    std::unique_ptr<QFileIconProvider> icons;
    std::unique_ptr<QFileSystemModel> model;
    std::unique_ptr<BrowseDlg::RootFilter> filter;
    // The owner window may take the dialog down with it, hence the guarded pointer.
    QPointer<BrowseDlg::Window> window;
    QLabel* text1 = nullptr;
    QLabel* text2 = nullptr;
    BrowseDlg::FolderTree* tree = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QLineEdit* edit = nullptr;          // ceEdit
    QComboBox* combo = nullptr;         // ceComboBox
    QAbstractButton* custom = nullptr;  // cbButton or cbCheckBox
    bool followSelection = false;       // keep the selection in view while folders load
    // The user has typed a path or picked a folder: from then on only the user's own picks put a
    // path into the custom edit, never a selection the dialog makes by itself.
    bool pathChosen = false;
    bool picking = false;  // an entry of the custom combo box's list is being selected

    Parts();
    ~Parts();
    QWidget* CustomEdit() const;
};
