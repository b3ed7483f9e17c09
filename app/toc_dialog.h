#pragma once

#include <QAbstractItemModel>
#include <QDialog>

#include "view/toc_model.h"
#include "view/toc_rules_model.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTreeView;

namespace lirako {

class CTirasolView;

// The chapters of a TocModel as a Qt item model: a tree of two columns, the title and the
// percent where the chapter starts.
class TocItemModel : public QAbstractItemModel {
 public:
  explicit TocItemModel(TocModel& toc, QObject* parent) : QAbstractItemModel(parent), toc_(toc) {}

  // Takes what the TocModel fetched: inserts the new rows, or resets to a changed list.
  void Update();
  QModelIndex IndexOf(int node) const;
  static int NodeOf(const QModelIndex& index) { return static_cast<int>(index.internalId()); }

  QModelIndex index(int row, int column, const QModelIndex& parent) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent) const override;
  int columnCount(const QModelIndex& parent) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  TocModel& toc_;
};

// "목차": the chapters of the open book in a tree that can be folded, filled while the
// scan goes on (the scan's news arrives as a queued call), the current chapter selected.
// Typing finds a chapter by its title's start; Return or a double click jumps to the chosen
// one (its heading becomes the top line) and closes. Below, the rules the book could use
// with the chapters each finds (counted in the background, the count's news arriving as a
// queued call) for choosing one for this book, and the book's own pattern.
class TocDialog : public QDialog {
 public:
  TocDialog(CTirasolView& view, QWidget* parent);
  ~TocDialog() override;

  // Runs the dialog over `owner`'s window when a book is open.
  static void Run(CTirasolView& view, QWidget* owner);

 private:
  // The scan found chapters or went on.
  void OnChapters();
  void Jump(const QModelIndex& index);
  void ApplyRule();
  // The rule counts arrived.
  void OnRuleCounts();
  // Lists the rules with their counts, the book's choice selected.
  void ShowRules();
  void ChooseRule(int row);
  // Sizes the window to its rows, within the screen.
  void FitToContent();

  TocModel toc_;
  TocRulesModel rules_;
  TocItemModel* model_;
  QLabel* status_;
  QTreeView* tree_;
  QLineEdit* rule_;
  QComboBox* ruleChoice_;
  QLabel* ruleStatus_;
  bool userSelected_ = false;
};

}  // namespace lirako
