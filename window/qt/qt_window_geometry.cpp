#include "window/qt/qt_window_geometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <utility>

#include "window/rules/twips.h"

namespace karuneo {
namespace {

TwipRect ToTwips(const QRect& pixels) {
    return {PixelsToTwips(pixels.x()), PixelsToTwips(pixels.y()), PixelsToTwips(pixels.width()),
            PixelsToTwips(pixels.height())};
}

}  // namespace

WindowState QtWindowGeometry::State() const {
    const Qt::WindowStates state = window_.windowState();
    if (state.testFlag(Qt::WindowMinimized)) {
        return WindowState::kMinimized;
    }
    if (state.testFlag(Qt::WindowMaximized)) {
        return WindowState::kMaximized;
    }
    return WindowState::kNormal;
}

void QtWindowGeometry::SetMaximized() {
    window_.setWindowState((window_.windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
}

TwipRect QtWindowGeometry::Outer() const {
    return ToTwips(window_.frameGeometry());
}

void QtWindowGeometry::SetOuter(const TwipRect& outer) {
    window_.move(TwipsToPixels(outer.left), TwipsToPixels(outer.top));
    window_.resize(ClientWidth(outer.width), ClientHeight(outer.height));
    if (FrameExtent().isNull()) {
        unframed_outer_ = outer;
    } else {
        unframed_outer_.reset();
    }
}

bool QtWindowGeometry::AdaptToFrame() {
    window_.setMinimumSize(ClientWidth(min_width_), ClientHeight(min_height_));
    const QSize frame = FrameExtent();
    if (unframed_outer_ && !frame.isNull()) {
        const TwipRect outer = *unframed_outer_;
        unframed_outer_.reset();
        SetOuter(outer);
    }
    return std::exchange(last_frame_extent_, frame) != frame;
}

void QtWindowGeometry::SetOuterWidth(float width) {
    window_.resize(ClientWidth(width), window_.height());
}

void QtWindowGeometry::SetOuterHeight(float height) {
    window_.resize(window_.width(), ClientHeight(height));
}

void QtWindowGeometry::SetMinimumOuterSize(float width, float height) {
    min_width_ = width;
    min_height_ = height;
    window_.setMinimumSize(ClientWidth(width), ClientHeight(height));
}

QSize QtWindowGeometry::FrameExtent() const {
    return window_.frameGeometry().size() - window_.size();
}

int QtWindowGeometry::ClientWidth(float outer_width) const {
    return std::max(0, TwipsToPixels(outer_width) - FrameExtent().width());
}

int QtWindowGeometry::ClientHeight(float outer_height) const {
    return std::max(0, TwipsToPixels(outer_height) - FrameExtent().height());
}

std::vector<TwipRect> ScreenAreas() {
    std::vector<TwipRect> areas;
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        areas.push_back(ToTwips(primary->availableGeometry()));
    }
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen()) {
            areas.push_back(ToTwips(screen->availableGeometry()));
        }
    }
    return areas;
}

}  // namespace karuneo
