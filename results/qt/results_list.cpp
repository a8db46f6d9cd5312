#include "results/qt/results_list.h"

#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <string>

#include "engine/display_text.h"
#include "window/rules/layout_rules.h"
#include "window/rules/twips.h"

namespace karuneo {
namespace {

QString FromBytes(std::string_view bytes) {
    const std::string text = ToDisplayText(bytes);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

ResultsList::ResultsList(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    setColumnCount(0);
    // Sorting stays off so that later rows are appended, yet the header
    // must still report clicks.
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    header()->setStretchLastSection(false);
    connect(header(), &QHeaderView::sectionClicked, this,
            [this](int column) { ListView1_ColumnClick(column); });
}

void ResultsList::AddResult(std::string_view name, std::string_view status) {
    auto* row = new QTreeWidgetItem(QStringList{FromBytes(name), FromBytes(status)});
    addTopLevelItem(row);
}

void ResultsList::CreateColumns() {
    const int first = columnCount();
    setColumnCount(first + 2);
    auto* labels = headerItem();
    labels->setText(first, QStringLiteral("フォルダ名"));
    labels->setText(first + 1, QStringLiteral("処理結果"));
    const ColumnWidths widths = ColumnWidthsFor(ColumnSpace());
    setColumnWidth(first, TwipsToPixels(widths.first));
    setColumnWidth(first + 1, TwipsToPixels(widths.second));
}

void ResultsList::SetColumnWidths(float first, float second) {
    setColumnWidth(0, TwipsToPixels(first));
    setColumnWidth(1, TwipsToPixels(second));
}

void ResultsList::RemoveAllRows() {
    clear();
}

float ResultsList::ColumnSpace() const {
    const int borders = 2 * frameWidth();
    const int scroll_bar = verticalScrollBar()->sizeHint().width();
    return PixelsToTwips(std::max(0, width() - borders - scroll_bar));
}

void ResultsList::ListView1_ColumnClick(int column) {
    // sortItems sorts what is there without turning sorting on.
    sortItems(column, Qt::AscendingOrder);
}

void ResultsList::mousePressEvent(QMouseEvent* event) {
    ListView1_MouseDown(*event);
    QTreeWidget::mousePressEvent(event);
}

void ResultsList::ListView1_MouseDown(const QMouseEvent& event) {
    if (event.button() == Qt::RightButton && context_menu_ != nullptr) {
        context_menu_->popup(event.globalPosition().toPoint());
    }
}

}  // namespace karuneo
