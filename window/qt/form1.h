#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/file_system.h"
#include "engine/native_file_system.h"
#include "window/qt/qt_results_layout.h"
#include "window/qt/qt_window_geometry.h"
#include "window/rules/settings_store.h"
#include "window/rules/sizing_pass.h"

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QMimeData;

namespace karuneo {

class DropArea;
class ResultsList;

using FileSystemFactory = std::function<std::unique_ptr<FileSystem>()>;

// The only window: drop folders on Frame2, read the outcomes in ListView1.
// It remembers its place in `settings`, and un-nests every dropped folder
// with a file system made afresh for each drop.
class Form1 final : public QWidget {
  public:
    explicit Form1(SettingsStore& settings,
                   FileSystemFactory make_file_system = MakeNativeFileSystem);
    ~Form1() override;

    void Form_Move();
    // Processes `paths` as a drop of them would, once the window is shown:
    // the way in from a command line, a file manager or a desktop entry.
    void ProcessPathsWhenShown(std::vector<std::string> paths);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateControls();
    void CreateMenu();
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void Frame2_OLEDragDrop(const QMimeData& dropped);
    void ProcessPathsSoon();
    void ProcessPaths(const std::vector<std::string>& paths);
    void mnu削除_Click();
    void SaveWindowSettings();

    SettingsStore& settings_;
    FileSystemFactory make_file_system_;

    QGroupBox* Frame1 = nullptr;
    DropArea* Frame2 = nullptr;
    QLabel* Label1 = nullptr;
    ResultsList* ListView1 = nullptr;
    QMenu* mnu編集 = nullptr;
    QAction* mnu削除 = nullptr;

    QtWindowGeometry geometry_;
    std::unique_ptr<QtResultsLayout> layout_;
    SizingPass sizing_pass_;
    // Moves are remembered from the end of loading to the start of closing,
    // so the restore itself is not written back.
    bool watching_moves_ = false;
    std::vector<std::string> paths_once_shown_;
};

}  // namespace karuneo
