#include "app/toc_dialog.h"

#include <algorithm>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTreeView>
#include <QVBoxLayout>

#include "view/tirasol_view.h"

namespace lirako {
namespace {

QString ToQt(const std::u16string& text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

enum Column { kTitleColumn, kPercentColumn, kColumnCount };

}  // namespace

void TocItemModel::Update() {
  switch (toc_.Fetch()) {
    case TocModel::Change::kNone:
      break;
    case TocModel::Change::kReset:
      beginResetModel();
      toc_.Reset();
      endResetModel();
      break;
    case TocModel::Change::kAppended:
      for (bool more = true; more;) {
        const auto [parentNode, row] = toc_.NextPlace();
        beginInsertRows(IndexOf(parentNode), row, row);
        more = toc_.Append();
        endInsertRows();
      }
      break;
  }
}

QModelIndex TocItemModel::IndexOf(int node) const {
  if (node < 0) return {};
  return createIndex(toc_.Row(node), kTitleColumn, static_cast<quintptr>(node));
}

QModelIndex TocItemModel::index(int row, int column, const QModelIndex& parent) const {
  if (column < 0 || column >= kColumnCount || (parent.isValid() && parent.column() != 0)) return {};
  const int node = toc_.Child(parent.isValid() ? NodeOf(parent) : -1, row);
  return node < 0 ? QModelIndex() : createIndex(row, column, static_cast<quintptr>(node));
}

QModelIndex TocItemModel::parent(const QModelIndex& child) const {
  if (!child.isValid()) return {};
  return IndexOf(toc_.Parent(NodeOf(child)));
}

int TocItemModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() && parent.column() != 0) return 0;
  return toc_.ChildCount(parent.isValid() ? NodeOf(parent) : -1);
}

int TocItemModel::columnCount(const QModelIndex&) const {
  return kColumnCount;
}

QVariant TocItemModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int node = NodeOf(index);
  if (role == Qt::DisplayRole)
    return ToQt(index.column() == kTitleColumn ? toc_.Title(node) : toc_.Percent(node));
  if (role == Qt::TextAlignmentRole && index.column() == kPercentColumn)
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

TocDialog::TocDialog(CTirasolView& view, QWidget* parent)
    : QDialog(parent), toc_(view), rules_(view) {
  setWindowTitle(QStringLiteral("목차"));
  setObjectName(QStringLiteral("tocDialog"));
  setSizeGripEnabled(true);
  auto* layout = new QVBoxLayout(this);
  status_ = new QLabel(this);
  layout->addWidget(status_);

  model_ = new TocItemModel(toc_, this);
  tree_ = new QTreeView(this);
  tree_->setModel(model_);
  tree_->setHeaderHidden(true);
  tree_->setUniformRowHeights(true);
  tree_->setAllColumnsShowFocus(true);
  tree_->header()->setStretchLastSection(false);
  tree_->header()->setSectionResizeMode(kTitleColumn, QHeaderView::Stretch);
  tree_->header()->setSectionResizeMode(kPercentColumn, QHeaderView::ResizeToContents);
  layout->addWidget(tree_, 1);
  // Return and a double click activate the item: the jump.
  connect(tree_, &QTreeView::activated, this, &TocDialog::Jump);
  connect(tree_, &QTreeView::clicked, this, [this] { userSelected_ = true; });
  connect(tree_, &QTreeView::pressed, this, [this] { userSelected_ = true; });

  auto* choiceRow = new QHBoxLayout;
  choiceRow->addWidget(new QLabel(QStringLiteral("규칙"), this));
  ruleChoice_ = new QComboBox(this);
  ruleChoice_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  choiceRow->addWidget(ruleChoice_, 1);
  ruleStatus_ = new QLabel(this);
  choiceRow->addWidget(ruleStatus_);
  layout->addLayout(choiceRow);
  connect(ruleChoice_, &QComboBox::activated, this, &TocDialog::ChooseRule);

  auto* ruleRow = new QHBoxLayout;
  ruleRow->addWidget(new QLabel(QStringLiteral("규칙 (정규식)"), this));
  rule_ = new QLineEdit(ToQt(rules_.Rule()), this);
  ruleRow->addWidget(rule_, 1);
  auto* apply = new QPushButton(QStringLiteral("규칙 적용"), this);
  apply->setAutoDefault(false);
  ruleRow->addWidget(apply);
  layout->addLayout(ruleRow);
  connect(apply, &QPushButton::clicked, this, &TocDialog::ApplyRule);
  connect(rule_, &QLineEdit::returnPressed, this, &TocDialog::ApplyRule);

  // The reader's corrections, kept for the book.
  auto* corrections = new QHBoxLayout;
  auto addButton = [this, corrections](const char16_t* text, auto action) {
    auto* button = new QPushButton(QString::fromUtf16(text), this);
    button->setAutoDefault(false);
    corrections->addWidget(button);
    connect(button, &QPushButton::clicked, this, [this, action] {
      action();
      OnChapters();
      tree_->setFocus();
    });
  };
  addButton(u"여기를 장으로", [this] { toc_.AddHere(); });
  addButton(u"이름 바꾸기", [this] {
    const QModelIndex current = tree_->currentIndex();
    if (!current.isValid()) return;
    const int node = TocItemModel::NodeOf(current);
    bool ok = false;
    const QString title = QInputDialog::getText(this, QStringLiteral("이름 바꾸기"), QString(),
                                                QLineEdit::Normal, ToQt(toc_.Title(node)), &ok);
    if (ok) toc_.Rename(node, title.toStdU16String());
  });
  addButton(u"빼기", [this] {
    const QModelIndex current = tree_->currentIndex();
    if (current.isValid()) toc_.Remove(TocItemModel::NodeOf(current));
  });
  corrections->addStretch(1);
  layout->addLayout(corrections);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* go = buttons->addButton(QStringLiteral("이동"), QDialogButtonBox::AcceptRole);
  go->setAutoDefault(false);
  buttons->addButton(QStringLiteral("닫기"), QDialogButtonBox::RejectRole)->setAutoDefault(false);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { Jump(tree_->currentIndex()); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  // The scan's news comes on its thread; it is taken here, on the window's, by a queued call
  // (dropped with the dialog when it is gone).
  toc_.Listen(
      [this] { QMetaObject::invokeMethod(this, &TocDialog::OnChapters, Qt::QueuedConnection); });
  rules_.Listen(
      [this] { QMetaObject::invokeMethod(this, &TocDialog::OnRuleCounts, Qt::QueuedConnection); });
  ShowRules();
  OnChapters();
  tree_->expandAll();
  FitToContent();
  tree_->setFocus();
}

TocDialog::~TocDialog() {
  toc_.Listen(nullptr);
  // Closing stops the count; no news comes after this.
  rules_.Listen(nullptr);
}

void TocDialog::Run(CTirasolView& view, QWidget* owner) {
  if (!view.HasDocument()) return;
  TocDialog dialog(view, owner != nullptr ? owner->window() : nullptr);
  dialog.exec();
  // Without a window manager nobody else hands the keyboard back to the main window.
  if (owner != nullptr && owner->window()->isVisible()) owner->window()->activateWindow();
}

void TocDialog::OnChapters() {
  toc_.Acknowledge();
  const int before = static_cast<int>(toc_.size());
  model_->Update();
  // Volumes that arrive open with their chapters shown.
  for (int node = before; node < static_cast<int>(toc_.size()); ++node) {
    if (toc_.ChildCount(node) > 0 || toc_.Parent(node) < 0) tree_->expand(model_->IndexOf(node));
  }
  // Branches only where volumes hold chapters.
  tree_->setRootIsDecorated(static_cast<int>(toc_.size()) > toc_.ChildCount(-1));
  if (!userSelected_) {
    const QModelIndex current = model_->IndexOf(toc_.Current());
    if (current.isValid()) {
      tree_->setCurrentIndex(current);
      tree_->scrollTo(current, QAbstractItemView::PositionAtCenter);
    }
  }
  status_->setText(ToQt(toc_.Status()));
}

void TocDialog::Jump(const QModelIndex& index) {
  if (!index.isValid()) return;
  toc_.Jump(TocItemModel::NodeOf(index));
  accept();
}

void TocDialog::ApplyRule() {
  if (rules_.ApplyRule(rule_->text().toStdU16String())) userSelected_ = false;
  ShowRules();
  OnChapters();
  tree_->setFocus();
}

void TocDialog::OnRuleCounts() {
  rules_.Acknowledge();
  if (rules_.Fetch()) ShowRules();
}

void TocDialog::ShowRules() {
  const QSignalBlocker blocker(ruleChoice_);
  ruleChoice_->clear();
  for (int row = 0; row < rules_.size(); ++row)
    ruleChoice_->addItem(ToQt(rules_.Label(row)));
  ruleChoice_->setCurrentIndex(rules_.Current());
  ruleStatus_->setText(ToQt(rules_.Status()));
}

void TocDialog::ChooseRule(int row) {
  rules_.Choose(row);
  userSelected_ = false;
  ShowRules();
  OnChapters();
}

void TocDialog::FitToContent() {
  // Wide enough for the longest title and its percent, as high as the rows up to two
  // thirds of the screen.
  const int rows = std::max(toc_.ChildCount(-1), 8);
  const int rowHeight = std::max(tree_->sizeHintForRow(0), fontMetrics().height() + 4);
  const QRect screen = this->screen() != nullptr ? this->screen()->availableGeometry() : QRect();
  const QAbstractItemView* list = tree_;
  const int width = list->sizeHintForColumn(kTitleColumn) +
                    list->sizeHintForColumn(kPercentColumn) + 4 * tree_->indentation();
  const int chrome = sizeHint().height() - tree_->sizeHint().height();
  QSize size(std::max(width, fontMetrics().horizontalAdvance(QLatin1Char('M')) * 24),
             chrome + std::min(rows, 30) * rowHeight);
  if (screen.isValid()) size = size.boundedTo(screen.size() * 2 / 3);
  setMinimumSize(minimumSizeHint());
  resize(size.expandedTo(minimumSizeHint()));
}

}  // namespace lirako
