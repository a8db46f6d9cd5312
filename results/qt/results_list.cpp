#include "results/qt/results_list.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>

#include "results/qt/utf8_text.h"
#include "results/rules/bounded_text.h"
#include "results/rules/column_captions.h"
#include "results/rules/column_widths.h"
#include "results/rules/escaped_text.h"
#include "results/rules/reason_text.h"
#include "results/rules/sort_order.h"
#include "results/rules/status_text.h"

namespace karuneo {
namespace {

// A name or path as a user reads it: it may hold line breaks and marks that
// would reorder the row.
QString Shown(std::string_view bytes) {
    return FromUtf8(ShownInWindow(bytes));
}

// Case-insensitive, numbers by value, in the user's language. The "C"
// locale compares code units whatever the options say; its users still
// expect "2" before "10", so it falls back to the program's own language.
QCollator FileManagerCollator() {
    QLocale locale;
    if (locale.language() == QLocale::C) {
        locale = QLocale(QLocale::Japanese, QLocale::Japan);
    }
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    return collator;
}

// QHeaderView measures a section without a size hint in bold, though it
// draws it in the regular weight; the bold faces (megabytes of a Japanese
// font) would be loaded for that alone, at start-up. Measured here as drawn.
// Rows of a quick run of folders come far faster than anyone reads them;
// scrolling to each would lay the list out once per row.
constexpr int kScrollDelayMs = 30;

QSize HeaderSectionSize(const QHeaderView& header, const QString& label) {
    QStyleOptionHeader option;
    option.initFrom(&header);
    option.text = label;
    return header.style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), &header);
}

class ResultRow final : public QTreeWidgetItem {
  public:
    using QTreeWidgetItem::QTreeWidgetItem;

    // The list always sorts "ascending": the direction is the rule's, so
    // that rows of equal text keep their arrival either way.
    bool operator<(const QTreeWidgetItem& other) const override {
        auto* list = static_cast<ResultsList*>(treeWidget());
        const SortOrder order = list->Order();
        const int compared = list->Collator().compare(text(order.column), other.text(order.column));
        return RowOrder(compared, Arrival(), static_cast<const ResultRow&>(other).Arrival(),
                        order.descending) < 0;
    }

    std::size_t Arrival() const { return arrival_; }
    void SetArrival(std::size_t arrival) { arrival_ = arrival; }

  private:
    std::size_t arrival_ = 0;
};

// Where each row keeps the path it was dropped as, for undoing its run, and
// its reason and kind, for 詳細 and コピー.
constexpr int kDroppedPathRole = Qt::UserRole;
constexpr int kReasonRole = Qt::UserRole + 1;
constexpr int kKindRole = Qt::UserRole + 2;

// Wrapped and cut here, as the Win32 list's are: Qt would wrap rich text,
// but let a reason naming thousands of entries grow past the screen. As
// rich text, so that nothing in a name ("<b>" is one) is taken for markup.
QString RichTip(const QString& path, const QString& reason) {
    const QString text =
        path.isEmpty() || reason.isEmpty() ? path + reason : path + QLatin1Char('\n') + reason;
    const QString bounded =
        QString::fromStdString(BoundedText(text.toStdString(), kTipColumns, kTipLines));
    return QStringLiteral("<p style=\"white-space:pre\">%1</p>")
        .arg(bounded.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")));
}

}  // namespace

ResultsList::ResultsList(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSortingEnabled(false);
    setColumnCount(0);
    // Sorting stays off so that later rows are appended, yet the header
    // must still report clicks.
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(-1, Qt::AscendingOrder);
    header()->setStretchLastSection(false);
    connect(header(), &QHeaderView::sectionClicked, this,
            [this](int column) { ListView1_ColumnClick(column); });
    scroll_soon_.setSingleShot(true);
    scroll_soon_.setInterval(kScrollDelayMs);
    connect(&scroll_soon_, &QTimer::timeout, this, [this] { ScrollToNewest(); });
}

void ResultsList::AddResult(std::string_view name, RowStatus status) {
    AddRow(name, StatusText(status), dropped_tip_, RowKind::kFolder);
}

void ResultsList::AddResultWithReason(std::string_view name, RowStatus status,
                                      const RowReason& reason) {
    AddRowWithReason(name, StatusText(status), reason, RowKind::kFolder);
}

void ResultsList::AddRowWithReason(std::string_view name, std::string_view status,
                                   const RowReason& reason, RowKind kind) {
    const std::string why = ReasonInJapanese(reason, name, &ShownInWindow);
    if (why.empty()) {
        AddRow(name, status, dropped_tip_, kind);
        return;
    }
    reason_ = FromUtf8(why);
    AddRow(name, status, RichTip(dropped_path_, reason_), kind);
    reason_.clear();
}

void ResultsList::AddRow(std::string_view name, std::string_view status, const QString& tip,
                         RowKind kind) {
    Q_ASSERT(QThread::currentThread() == thread());
    auto* row = new ResultRow(QStringList{Shown(name), FromUtf8(std::string(status))});
    row->setToolTip(0, tip);
    row->setToolTip(1, tip);
    row->setData(0, kDroppedPathRole, dropped_bytes_);
    row->setData(0, kReasonRole, reason_);
    row->setData(0, kKindRole, static_cast<int>(kind));
    row->SetArrival(arrivals_++);
    ShowOrder({});
    if (collected_ != nullptr) {
        collected_->push_back(row);
        return;
    }
    addTopLevelItem(row);
    if (!scroll_soon_.isActive()) {
        scroll_soon_.start();
    }
}

void ResultsList::ScrollToNewest() {
    if (QTreeWidgetItem* newest = topLevelItem(topLevelItemCount() - 1)) {
        scrollToItem(newest);
    }
}

void ResultsList::SetDroppedPath(std::string_view path) {
    dropped_path_ = Shown(path);
    dropped_tip_ = RichTip(dropped_path_, {});
    dropped_bytes_ = QByteArray(path.data(), static_cast<qsizetype>(path.size()));
}

namespace {

std::optional<std::string> DroppedPathOf(const QTreeWidgetItem* row) {
    if (row == nullptr) {
        return std::nullopt;
    }
    const QByteArray path = row->data(0, kDroppedPathRole).toByteArray();
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path.toStdString();
}

}  // namespace

namespace {

ShownRow ShownRowOf(const QTreeWidgetItem& row) {
    const QByteArray path = row.data(0, kDroppedPathRole).toByteArray();
    return {
        row.text(0).toStdString(), row.text(1).toStdString(),
        ShownInWindow(std::string_view(path.constData(), static_cast<std::size_t>(path.size()))),
        row.data(0, kReasonRole).toString().toStdString(),
        static_cast<RowKind>(row.data(0, kKindRole).toInt())};
}

}  // namespace

std::optional<ShownRow> ResultsList::CurrentShownRow() const {
    if (const QTreeWidgetItem* row = currentItem()) {
        return ShownRowOf(*row);
    }
    return std::nullopt;
}

std::vector<ShownRow> ResultsList::SelectedShownRows() const {
    std::vector<ShownRow> rows;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        if (const QTreeWidgetItem* row = topLevelItem(i); row->isSelected()) {
            rows.push_back(ShownRowOf(*row));
        }
    }
    return rows;
}

void ResultsList::CopySelectedRows() const {
    const auto rows = SelectedShownRows();
    if (!rows.empty()) {
        QGuiApplication::clipboard()->setText(QString::fromStdString(TabSeparatedRows(rows)));
    }
}

std::optional<std::string> ResultsList::CurrentDroppedPath() const {
    return DroppedPathOf(currentItem());
}

std::optional<std::string> ResultsList::NewestDroppedPath() const {
    return DroppedPathOf(topLevelItem(topLevelItemCount() - 1));
}

void ResultsList::AddFinishedRow(const FinishedRow& row) {
    SetDroppedPath(row.dropped_path);
    AddRowWithReason(row.name, FinishedStatusText(row), row.reason, row.kind);
}

void ResultsList::AddFinishedRows(const std::vector<FinishedRow>& rows) {
    QList<QTreeWidgetItem*> collected;
    collected.reserve(static_cast<qsizetype>(rows.size()));
    collected_ = &collected;
    for (const FinishedRow& row : rows) {
        AddFinishedRow(row);
    }
    collected_ = nullptr;
    addTopLevelItems(collected);
    if (!collected.isEmpty() && !scroll_soon_.isActive()) {
        scroll_soon_.start();
    }
}

void ResultsList::CreateColumns() {
    const int first = columnCount();
    setColumnCount(first + 2);
    auto* labels = headerItem();
    labels->setText(first, FromUtf8(kNameColumnCaption));
    labels->setText(first + 1, FromUtf8(kStatusColumnCaption));
    for (const int column : {first, first + 1}) {
        labels->setSizeHint(column, HeaderSectionSize(*header(), labels->text(column)));
    }
    const ColumnWidths widths = ColumnWidthsFor(static_cast<float>(ColumnSpace()));
    SetColumnWidths(widths.first, widths.second);
}

void ResultsList::SetColumnWidths(float first, float second) {
    const float total = first + second;
    first_share_ = total > 0 ? first / total : 0;
    FitColumns();
}

void ResultsList::FitColumns() {
    if (columnCount() < 2) {
        return;
    }
    // The second column takes what the first leaves, so that rounding never
    // opens a strip or a horizontal scroll bar.
    const int space = viewport()->width();
    const int first = static_cast<int>(std::lround(static_cast<float>(space) * first_share_));
    setColumnWidth(0, first);
    setColumnWidth(1, space - first);
}

void ResultsList::RemoveAllRows() {
    clear();
    ShowOrder({});
}

int ResultsList::ColumnSpace() const {
    return std::max(0, width() - 2 * frameWidth());
}

void ResultsList::ListView1_ColumnClick(int column) {
    order_ = AfterHeaderClick(order_, column);
    // sortItems sorts what is there without turning sorting on.
    sortItems(column, Qt::AscendingOrder);
    ShowArrow();
}

void ResultsList::ShowOrder(const SortOrder& order) {
    if (order != order_) {
        order_ = order;
        ShowArrow();
    }
}

void ResultsList::ShowArrow() {
    // After sortItems and after the header's own flip on a click, which both
    // set an arrow of their own.
    header()->setSortIndicator(order_.column,
                               order_.descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

const QCollator& ResultsList::Collator() {
    if (!collator_) {
        collator_ = FileManagerCollator();
    }
    return *collator_;
}

void ResultsList::mousePressEvent(QMouseEvent* event) {
    // The row under the pointer becomes current first: the menu acts on it.
    QTreeWidget::mousePressEvent(event);
    ListView1_MouseDown(*event);
}

bool ResultsList::viewportEvent(QEvent* event) {
    // The vertical scroll bar coming or going resizes only the viewport.
    if (event->type() == QEvent::Resize) {
        FitColumns();
    }
    return QTreeWidget::viewportEvent(event);
}

void ResultsList::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        CopySelectedRows();
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && currentItem() != nullptr && show_details_) {
        show_details_();
        return;
    }
    // Qt makes a context-menu event of the menu key only; Shift+F10 is the
    // other key every desktop opens a menu with.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        ShowMenuFromKeyboard();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void ResultsList::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Keyboard) {
        ShowMenuFromKeyboard();
    }
}

void ResultsList::ShowMenuFromKeyboard() {
    if (context_menu_ == nullptr) {
        return;
    }
    QPoint at(0, 0);
    if (const QTreeWidgetItem* row = currentItem()) {
        at = visualItemRect(row).bottomLeft();
    }
    context_menu_->popup(viewport()->mapToGlobal(at));
}

void ResultsList::ListView1_MouseDown(const QMouseEvent& event) {
    if (event.button() == Qt::RightButton && context_menu_ != nullptr) {
        context_menu_->popup(event.globalPosition().toPoint());
    }
}

}  // namespace karuneo
