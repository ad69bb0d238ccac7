// The record tree on screen: a tree widget that mirrors the record-tree model item by item and
// hands the user's selection and expansion back to it. The model decides everything (labels,
// images, lazy population, replay); this view only follows its notifications.
#pragma once

#include <QHash>
#include <QIcon>
#include <QTreeWidget>
#include <array>

#include "records/sgftree.h"

namespace obrin::gui {

// Invariant: m_items maps every model item that is shown to its widget item and back, and the
// widget tree has the model's shape.
class TSgfTreeView : public QTreeWidget, public ISgfTreeListener {
    Q_OBJECT
  public:
    TSgfTreeView(TSgfTreeModel& model, QWidget* parent = nullptr);
    ~TSgfTreeView() override;

    [[nodiscard]] TSgfTreeModel& Model() { return m_model; }
    [[nodiscard]] QTreeWidgetItem* WidgetItem(const TSgfTreeItem* item) const {
        return m_widgets.value(item);
    }
    [[nodiscard]] TSgfTreeItem* ModelItem(const QTreeWidgetItem* item) const {
        return m_items.value(item);
    }
    // The four images: game, information, black move, white move.
    [[nodiscard]] static const std::array<QIcon, 4>& Images();

    void ItemsReset() override;
    void ItemInserted(TSgfTreeItem* item) override;
    void ItemChanged(TSgfTreeItem* item) override;
    void ItemRemoving(TSgfTreeItem* item) override;
    void SelectionChanged(TSgfTreeItem* item) override;

  private:
    QTreeWidgetItem* Show(TSgfTreeItem* item, QTreeWidgetItem* parent, int index);
    void Forget(QTreeWidgetItem* w);
    void Update(TSgfTreeItem* item, QTreeWidgetItem* w);

    TSgfTreeModel& m_model;
    QHash<const TSgfTreeItem*, QTreeWidgetItem*> m_widgets;
    QHash<const QTreeWidgetItem*, TSgfTreeItem*> m_items;
    int m_syncing = 0;  // > 0 while the view follows the model, so it does not echo back
};

}  // namespace obrin::gui
