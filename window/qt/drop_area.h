#pragma once

#include <QGroupBox>
#include <functional>
#include <string>
#include <vector>

class QDragEnterEvent;
class QDragLeaveEvent;
class QDragMoveEvent;
class QDropEvent;
class QMimeData;

namespace karuneo {

// Frame2: the one place that takes drops, and only of local files and
// folders; it is highlighted while a drag it would take is over it. What a
// drop does is the window's business.
class DropArea final : public QGroupBox {
  public:
    using DropHandler = std::function<void(const QMimeData&)>;

    explicit DropArea(const QString& title, QWidget* parent = nullptr);

    void SetDropHandler(DropHandler handler) { handler_ = std::move(handler); }

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void SetHighlighted(bool on);

    DropHandler handler_;
};

// The local paths a drag carries, in the drag source's order.
std::vector<std::string> DroppedPaths(const QMimeData& data);

}  // namespace karuneo
