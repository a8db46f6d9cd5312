#pragma once

#include <QElapsedTimer>
#include <QGroupBox>
#include <functional>
#include <string>
#include <vector>

class QDragEnterEvent;
class QDragLeaveEvent;
class QDragMoveEvent;
class QDropEvent;
class QLabel;
class QMimeData;
class QProgressBar;
class QPushButton;

namespace karuneo {

struct ProgressLines;

// Frame2: the one place that takes drops, and only of local files and
// folders; it is highlighted while a drag it would take is over it. What a
// drop does is the window's business. While the window works, it tells how
// far the work has come and offers 中止; idle, it holds nothing but its title.
class DropArea final : public QGroupBox {
  public:
    using DropHandler = std::function<void(const QMimeData&)>;

    explicit DropArea(const QString& title, QWidget* parent = nullptr);

    void SetDropHandler(DropHandler handler) { handler_ = std::move(handler); }
    void SetStopHandler(std::function<void()> handler) { stop_handler_ = std::move(handler); }

    void ShowProgress(const ProgressLines& lines);
    void ShowIdle();

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void SetHighlighted(bool on);
    void CreateProgressControls();
    void ShowLine(QLabel& label, const std::string& text);

    DropHandler handler_;
    std::function<void()> stop_handler_;
    QLabel* folder_line_ = nullptr;
    QLabel* entries_line_ = nullptr;
    QLabel* waiting_line_ = nullptr;
    QProgressBar* bar_ = nullptr;
    // Since when no count has been known. Small folders come and go within
    // a tick: the bar turns busy (an animation that repaints all the time)
    // only for a folder that stays uncounted a while, on a slow disk.
    QElapsedTimer uncounted_;
    QPushButton* stop_ = nullptr;
};

// The local paths a drag carries, in the drag source's order.
std::vector<std::string> DroppedPaths(const QMimeData& data);

}  // namespace karuneo
