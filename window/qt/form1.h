#pragma once

#include <QTimer>
#include <QWidget>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/native_file_system.h"
#include "window/qt/qt_results_layout.h"
#include "window/qt/qt_window_geometry.h"
#include "window/rules/settings_store.h"
#include "window/rules/sizing_pass.h"
#include "window/worker/work_queue.h"

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QMimeData;

namespace karuneo {

class DropArea;
class ResultsList;

// The only window: drop folders on Frame2, read the outcomes in ListView1.
// It remembers its place in `settings`. Its thread only paints and takes
// input: the folders, dropped or given, wait in one queue for a worker that
// un-nests each with a file system made afresh for it. Esc, 中止 or closing
// the window stops the work between two entries.
class Form1 final : public QWidget {
  public:
    explicit Form1(SettingsStore& settings,
                   FileSystemFactory make_file_system = MakeNativeFileSystem);
    ~Form1() override;

    void Form_Move();
    // Processes `paths` as a drop of them would, once the window has been
    // drawn: the way in from a command line, a file manager or a desktop
    // entry.
    void ProcessPathsWhenShown(std::vector<std::string> paths);
    // Folders a later start handed over: the window comes to the front and
    // queues them. False while the window is closing; they are not taken.
    bool TakeHandoff(std::vector<std::string> paths);
    // Whether folders are in hand or waiting, as the window shows it.
    bool Working() const { return working_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void CreateControls();
    void CreateMenu();
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void Frame2_OLEDragDrop(const QMimeData& dropped);
    void mnu元に戻す_Click();
    void mnu詳細_Click();
    void UndoRunOf(const std::string& folder);
    void StartOnceDrawn();
    void AddWork(std::vector<std::string> paths);
    void Enqueue(std::vector<std::string> paths);
    void StopWork();
    void TakeInbox();
    void ShowFinishedRows();
    void QueueDrained();
    void ShowWorking(bool on);
    void ShowProgress();
    void BringToFront();
    void mnu削除_Click();
    void SaveWindowSettings();
    WorkQueue::Handoff HandoffToThisThread();

    SettingsStore& settings_;

    QGroupBox* Frame1 = nullptr;
    DropArea* Frame2 = nullptr;
    QLabel* Label1 = nullptr;
    ResultsList* ListView1 = nullptr;
    QMenu* mnu編集 = nullptr;
    QAction* mnu削除 = nullptr;
    QAction* mnu元に戻す = nullptr;
    QAction* mnu詳細 = nullptr;
    QAction* mnuコピー = nullptr;

    QtWindowGeometry geometry_;
    std::unique_ptr<QtResultsLayout> layout_;
    SizingPass sizing_pass_;
    // Moves are remembered from the end of loading to the start of closing,
    // so the restore itself is not written back.
    bool watching_moves_ = false;
    // Work waits for the first drawing, so the window never opens black.
    bool started_ = false;
    std::vector<std::string> paths_once_shown_;
    QTimer start_anyway_;  // for a window that is never drawn (hidden away)
    bool working_ = false;
    bool close_when_drained_ = false;
    QTimer progress_tick_;
    // Rows wait a moment in the inbox and join the list together: the list
    // drawn once per row would cost more than the work of a small folder.
    QTimer rows_soon_;
    // Where the worker leaves rows: it wakes this thread only when the inbox
    // was empty, so a burst of small folders costs a wake-up per batch, not
    // one per row.
    std::mutex inbox_mutex_;
    std::vector<FinishedRow> inbox_;
    std::string journal_folder_;
    // Last: its destructor stops and joins the worker, which may still hand
    // rows to this window until then.
    std::unique_ptr<WorkQueue> queue_;
};

}  // namespace karuneo
