#pragma once

// A fresh main window per test, its dialogs answered by a recorder, with a temporary folder for
// the files it lists and for its settings file.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStringList>
#include <QTabWidget>
#include <QTest>
#include <QVariantMap>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "RecordingDialogs.h"
#include "app/RadioGroup.h"
#include "app/UnMein.h"
#include "components/MyStringGrid.h"
#include "components/NewCtrls.h"
#include "core/text/Cp932.h"
#include "support/TempDir.h"

class TWindowFixture {
public:
    TWindowFixture() {
        auto recorder = std::make_unique<TRecordingDialogs>();
        dialogs = recorder.get();
        window = std::make_unique<TFmMein>(dir / "quorbel.ini", dir / "journal", std::move(recorder));
    }

    testsupport::TempDir dir;
    TRecordingDialogs* dialogs = nullptr;  // owned by the window
    std::unique_ptr<TFmMein> window;

    template <class T>
    T* Find(const QString& name) const {
        return window->findChild<T*>(name);
    }
    TMyStringGrid* Grid() const { return Find<TMyStringGrid>(QStringLiteral("MySG")); }
    TRadioGroup* Radio(const char* name) const { return Find<TRadioGroup>(QLatin1String(name)); }
    QAction* Action(const char* name) const { return Find<QAction>(QLatin1String(name)); }
    QString FileCount() const { return Find<QLabel>(QStringLiteral("StatusBar1Panel1"))->text(); }
    // An action or a widget.
    // Sets controls by name as a user would: check boxes from a bool, radio groups from an item
    // index, text fields from a text.
    void Set(const QVariantMap& settings) {
        for (auto it = settings.begin(); it != settings.end(); ++it) {
            auto* control = Find<QObject>(it.key());
            QVERIFY2(control != nullptr, qPrintable(it.key()));
            if (auto* check = qobject_cast<QCheckBox*>(control)) {
                check->setChecked(it.value().toBool());
            } else if (auto* radio = qobject_cast<TRadioGroup*>(control)) {
                radio->SetItemIndex(it.value().toInt());
            } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
                combo->setEditText(it.value().toString());
            } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
                edit->setText(it.value().toString());
            } else {
                QFAIL(qPrintable(it.key()));
            }
        }
    }
    bool Enabled(const char* name) const {
        if (QAction* action = Action(name)) return action->isEnabled();
        return Find<QWidget>(QLatin1String(name))->isEnabled();
    }
    QStringList Messages() const {
        const std::vector<QString> texts = dialogs->Messages();
        return {texts.begin(), texts.end()};
    }
    void ShowPage(const char* name) const {
        Find<QTabWidget>(QStringLiteral("PageControl1"))
            ->setCurrentWidget(Find<QWidget>(QLatin1String(name)));
    }

    // Code page 932 path of a file or folder under the temporary folder ("" for the folder itself).
    std::string Path(const std::string& relative = {}) const {
        return Cp932::FromUtf8(relative.empty() ? dir.Path() : dir / relative).value();
    }
    // The same as Qt shows it.
    QString QtPath(const std::string& relative = {}) const {
        return QString::fromStdString(relative.empty() ? dir.Path() : dir / relative);
    }

    // Each file gets its own name as content, so a renamed file can be told apart.
    void MakeFiles(const std::string& folder, const QStringList& names, std::int64_t mtime = -1) {
        for (const QString& name : names)
            dir.MakeFile(folder + "/" + name.toStdString(), name.toStdString(), mtime);
    }
    // The files of a folder under the temporary folder, sorted.
    QStringList OnDisk(const std::string& folder) const { return NamesIn(dir / folder); }
    // The same for a native folder anywhere.
    static QStringList NamesIn(const std::string& folder) {
        QStringList names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names << QString::fromStdString(entry.path().filename().string());
        names.sort();
        return names;
    }

    // Column col of the data rows, top to bottom.
    QStringList Column(int col) const {
        QStringList texts;
        for (int row = 1; row < Grid()->RowCount(); ++row)
            texts << Grid()->Cells(col, row);
        return texts;
    }
    // The listed old paths relative to the temporary folder, as UTF-8.
    QStringList Listed() const {
        QStringList texts;
        const std::string root = Path() + "/";
        for (const std::string& path : window->Pairs.OldPaths()) {
            const std::string rel = path.rfind(root, 0) == 0 ? path.substr(root.size()) : path;
            texts << QString::fromStdString(Cp932::ToUtf8(rel).value());
        }
        return texts;
    }

    // A load as the folder sources start one: empty table and list, then the entries.
    void Load(const std::vector<std::string>& relatives) {
        std::vector<std::string> entries;
        for (const std::string& rel : relatives)
            entries.push_back(Path(rel));
        window->Preview().Halt();  // it reads the list that is emptied here
        Grid()->ClearRows();
        window->Pairs.Load({});
        window->LoadFileList(entries);
    }
    // The files names in folder "f" (each holding its own name), all of them listed.
    void MakeAndLoad(const QStringList& names) {
        MakeFiles("f", names);
        Load({"f"});
    }
    // A drop of files and folders, in the order the drop carries them.
    void Drop(const std::vector<std::string>& relatives) {
        QStringList files;
        for (const std::string& rel : relatives)
            files << QtPath(rel);
        auto* drop = Find<TFileDrop>(QStringLiteral("FileDrop1"));
        emit drop->OnFileDrop(drop, static_cast<int>(files.size()), files, 10, 10);
    }
};
