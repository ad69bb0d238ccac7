#include "records/FormSgfTree.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <memory>

namespace obrin::gui {

namespace {

// Runs while the view copies the model, so that its own signals are not sent back.
class TSync {
  public:
    explicit TSync(int& depth) : m_depth(depth) { ++m_depth; }
    ~TSync() { --m_depth; }
    TSync(const TSync&) = delete;
    TSync& operator=(const TSync&) = delete;

  private:
    int& m_depth;
};

QPixmap Canvas() {
    QPixmap pm(18, 18);
    pm.fill(Qt::transparent);
    return pm;
}

QIcon Stone(bool black) {
    QPixmap pm = Canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(QPointF(6.5, 6.5), 10);
    g.setColorAt(0, black ? QColor(0x70, 0x70, 0x70) : Qt::white);
    g.setColorAt(1, black ? QColor(0x08, 0x08, 0x08) : QColor(0xC8, 0xC4, 0xBC));
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 0.8));
    p.setBrush(g);
    p.drawEllipse(QRectF(2, 2, 14, 14));
    return QIcon(pm);
}

QIcon GameIcon() {
    QPixmap pm = Canvas();
    QPainter p(&pm);
    p.setBrush(QColor(0xDC, 0xB3, 0x5C));
    p.setPen(QColor(0x6B, 0x4E, 0x1E));
    p.drawRect(1, 1, 15, 15);
    for (int i = 4; i <= 13; i += 3) {
        p.drawLine(i, 2, i, 15);
        p.drawLine(2, i, 15, i);
    }
    return QIcon(pm);
}

QIcon InfoIcon() {
    QPixmap pm = Canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2F, 0x6F, 0xC0));
    p.drawEllipse(QRectF(1.5, 1.5, 15, 15));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(7.8, 4, 2.4, 2.4));
    p.drawRect(QRectF(7.9, 7.5, 2.2, 6.5));
    return QIcon(pm);
}

}  // namespace

const std::array<QIcon, 4>& TSgfTreeView::Images() {
    static const std::array<QIcon, 4> images{GameIcon(), InfoIcon(), Stone(true), Stone(false)};
    return images;
}

TSgfTreeView::TSgfTreeView(TSgfTreeModel& model, QWidget* parent)
    : QTreeWidget(parent), m_model(model) {
    setObjectName(QStringLiteral("SgfTreeView"));
    setHeaderHidden(true);
    setColumnCount(1);
    setIconSize(QSize(18, 18));
    setUniformRowHeights(true);
    setIndentation(14);
    m_model.Listener = this;
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (m_syncing > 0) return;
        m_model.Select(ModelItem(current));
    });
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* w) {
        if (m_syncing > 0) return;
        if (TSgfTreeItem* item = ModelItem(w)) m_model.Expand(item);
    });
    connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* w) {
        if (m_syncing > 0) return;
        if (TSgfTreeItem* item = ModelItem(w)) m_model.Collapse(item);
    });
    ItemsReset();
}

TSgfTreeView::~TSgfTreeView() {
    if (m_model.Listener == this) m_model.Listener = nullptr;
}

void TSgfTreeView::Update(TSgfTreeItem* item, QTreeWidgetItem* w) {
    w->setText(0, QString::fromStdString(item->Label));
    const int image = std::clamp(m_model.ImageIndexOf(item), 0, 3);
    w->setIcon(0, Images()[static_cast<size_t>(image)]);
    w->setChildIndicatorPolicy(item->HasChildren || !item->Children().empty()
                                   ? QTreeWidgetItem::ShowIndicator
                                   : QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

QTreeWidgetItem* TSgfTreeView::Show(TSgfTreeItem* item, QTreeWidgetItem* parent, int index) {
    auto* w = new QTreeWidgetItem;  // owned by the tree once inserted
    if (parent != nullptr)
        parent->insertChild(index, w);
    else
        insertTopLevelItem(index, w);
    m_widgets.insert(item, w);
    m_items.insert(w, item);
    Update(item, w);
    int i = 0;
    for (const auto& child : item->Children()) Show(child.get(), w, i++);
    w->setExpanded(item->Expanded);
    return w;
}

void TSgfTreeView::Forget(QTreeWidgetItem* w) {
    for (int i = 0; i < w->childCount(); ++i) Forget(w->child(i));
    m_widgets.remove(m_items.value(w));
    m_items.remove(w);
}

void TSgfTreeView::ItemsReset() {
    const TSync sync(m_syncing);
    clear();
    m_widgets.clear();
    m_items.clear();
    int i = 0;
    for (const auto& item : m_model.Items()) Show(item.get(), nullptr, i++);
    if (TSgfTreeItem* selected = m_model.Selected()) setCurrentItem(WidgetItem(selected));
}

void TSgfTreeView::ItemInserted(TSgfTreeItem* item) {
    const TSync sync(m_syncing);
    if (m_widgets.contains(item)) return;
    TSgfTreeItem* parent = item->Parent();
    const auto& siblings = parent != nullptr ? parent->Children() : m_model.Items();
    const auto at = std::find_if(siblings.begin(), siblings.end(),
                                 [item](const auto& s) { return s.get() == item; });
    const int index = static_cast<int>(at - siblings.begin());
    QTreeWidgetItem* parentWidget = parent != nullptr ? WidgetItem(parent) : nullptr;
    if (parent != nullptr && parentWidget == nullptr) return;  // its parent is not shown yet
    Show(item, parentWidget, index);
    if (parentWidget != nullptr) Update(parent, parentWidget);
}

void TSgfTreeView::ItemChanged(TSgfTreeItem* item) {
    const TSync sync(m_syncing);
    if (QTreeWidgetItem* w = WidgetItem(item)) {
        Update(item, w);
        w->setExpanded(item->Expanded);
    }
}

void TSgfTreeView::ItemRemoving(TSgfTreeItem* item) {
    const TSync sync(m_syncing);
    QTreeWidgetItem* w = WidgetItem(item);
    if (w == nullptr) return;
    Forget(w);
    QTreeWidgetItem* parent = w->parent();
    const std::unique_ptr<QTreeWidgetItem> removed(parent != nullptr
                                                       ? parent->takeChild(parent->indexOfChild(w))
                                                       : takeTopLevelItem(indexOfTopLevelItem(w)));
}

void TSgfTreeView::SelectionChanged(TSgfTreeItem* item) {
    const TSync sync(m_syncing);
    QTreeWidgetItem* w = item != nullptr ? WidgetItem(item) : nullptr;
    setCurrentItem(w);
    if (w != nullptr) scrollToItem(w);
}

}  // namespace obrin::gui
