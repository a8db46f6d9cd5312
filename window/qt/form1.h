#pragma once

#include <QTimer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "engine/native_file_system.h"
#include "window/qt/qt_results_layout.h"
#include "window/qt/qt_window_geometry.h"
#include "window/rules/settings_store.h"
#include "window/rules/sizing_pass.h"
#include "window/worker/work_queue.h"
#include "window/worker/work_session.h"

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
// input: what to do with the folders, dropped or given, is its work
// session's, which the window shows.
class Form1 final : public QWidget, private WorkView {
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
    bool Working() const { return session_->Busy(); }
    // What a SIGTERM or a lost display asks: as closing the window does,
    // the work stops between two entries first.
    void CloseSoon();
    // The program ends now, whatever the window: the work stops between two
    // entries, leaving the folder in hand as it stands, and the worker ends.
    void StopWorkForExit();

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
    void StartOnceDrawn();
    void BringToFront();
    void mnu削除_Click();
    void mnu履歴_Click();
    void mnu展開_Click();
    void RefreshListActions();
    void SaveWindowSettings();
    PostToWindow PostingToThisThread();

    // What the work session asks of the window.
    void ShowBusy(bool busy) override;
    void ShowProgress(const WorkProgress& progress) override;
    void AddRows(const std::vector<FinishedRow>& rows) override;
    void CloseNow() override;

    SettingsStore& settings_;

    QGroupBox* Frame1 = nullptr;
    DropArea* Frame2 = nullptr;
    QLabel* Label1 = nullptr;
    ResultsList* ListView1 = nullptr;
    QMenu* mnu編集 = nullptr;
    QAction* mnu削除 = nullptr;
    QAction* mnu履歴 = nullptr;
    QAction* mnu元に戻す = nullptr;
    QAction* mnu詳細 = nullptr;
    QAction* mnuコピー = nullptr;
    QAction* mnu展開 = nullptr;

    QtWindowGeometry geometry_;
    std::unique_ptr<QtResultsLayout> layout_;
    SizingPass sizing_pass_;
    // Moves are remembered from the end of loading to the start of closing,
    // so the restore itself is not written back.
    bool watching_moves_ = false;
    // Work waits for the first drawing, so the window never opens black.
    QTimer start_anyway_;  // for a window that is never drawn (hidden away)
    QTimer tick_;
    // Last: its destructor stops and joins the worker, which may still post
    // to this window until then.
    std::unique_ptr<WorkSession> session_;
};

}  // namespace karuneo
