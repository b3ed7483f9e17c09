#pragma once

#include <QAbstractListModel>
#include <QDialog>

class QLabel;
class QListView;

namespace lirako {

class FindAllModel;

// The hits of a FindAllModel as a Qt list model, one row each.
class FindAllItemModel : public QAbstractListModel {
 public:
  FindAllItemModel(FindAllModel& hits, QObject* parent) : QAbstractListModel(parent), hits_(hits) {}

  // Inserts the rows of the hits found since the last call.
  void Update();

  int rowCount(const QModelIndex& parent) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  FindAllModel& hits_;
};

// "모두 찾기": every hit with its context, filled while the search goes on (its news arrives
// as a queued call), the count shown. Moving to a hit shows its page behind the list, the hit
// inverted; Return or a double click does so and closes. Typing finds a hit by its start.
// Closing stops the search.
class FindAllDialog : public QDialog {
 public:
  FindAllDialog(FindAllModel& hits, QWidget* parent);
  ~FindAllDialog() override;

  // Runs the list over the window in front (the find bar).
  static void Run(FindAllModel& hits, QWidget* owner);

 private:
  void OnHits();
  void FitToContent();

  FindAllModel& hits_;
  FindAllItemModel* model_;
  QLabel* status_;
  QListView* list_;
};

}  // namespace lirako
