#include "app/find_all_dialog.h"

#include <algorithm>

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "view/find_all_model.h"

namespace lirako {
namespace {

// Rows taken in per call, so that a long list never stalls the window.
constexpr size_t kHitsPerUpdate = 2000;
// The width of a hit's line with its context either side, in average characters.
constexpr int kLineCharacters = 66;

}  // namespace

void FindAllItemModel::Update() {
  const size_t fresh = std::min(hits_.Fetch(), kHitsPerUpdate);
  if (fresh == 0) return;
  const int first = static_cast<int>(hits_.size());
  beginInsertRows({}, first, first + static_cast<int>(fresh) - 1);
  hits_.Append(fresh);
  endInsertRows();
}

int FindAllItemModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(hits_.size());
}

QVariant FindAllItemModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return {};
  const std::u16string& text = hits_.Text(static_cast<size_t>(index.row()));
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

FindAllDialog::FindAllDialog(FindAllModel& hits, QWidget* parent) : QDialog(parent), hits_(hits) {
  setWindowTitle(QStringLiteral("모두 찾기"));
  setObjectName(QStringLiteral("findAllDialog"));
  setSizeGripEnabled(true);
  auto* layout = new QVBoxLayout(this);
  status_ = new QLabel(this);
  layout->addWidget(status_);
  model_ = new FindAllItemModel(hits_, this);
  list_ = new QListView(this);
  list_->setModel(model_);
  list_->setUniformItemSizes(true);
  layout->addWidget(list_, 1);
  // Moving to a hit shows it behind the list; Return or a double click also closes.
  connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            if (current.isValid()) hits_.Jump(static_cast<size_t>(current.row()));
          });
  connect(list_, &QListView::activated, this, [this](const QModelIndex& index) {
    hits_.Jump(static_cast<size_t>(index.row()));
    accept();
  });
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("이동"), QDialogButtonBox::AcceptRole)->setAutoDefault(false);
  buttons->addButton(QStringLiteral("닫기"), QDialogButtonBox::RejectRole)->setAutoDefault(false);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    if (list_->currentIndex().isValid()) accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  // The search's news comes on its thread; it is taken here by a queued call.
  hits_.Listen(
      [this] { QMetaObject::invokeMethod(this, &FindAllDialog::OnHits, Qt::QueuedConnection); });
  OnHits();
  FitToContent();
  list_->setFocus();
}

FindAllDialog::~FindAllDialog() {
  hits_.Listen(nullptr);
}

void FindAllDialog::Run(FindAllModel& hits, QWidget* owner) {
  QWidget* front = QApplication::activeModalWidget();
  if (front == nullptr && owner != nullptr) front = owner->window();
  FindAllDialog dialog(hits, front);
  dialog.exec();
  // Without a window manager nobody else hands the keyboard back to the bar.
  if (front != nullptr && front->isVisible()) front->activateWindow();
}

void FindAllDialog::OnHits() {
  hits_.Acknowledge();
  model_->Update();
  // More than one update's worth waits: take it in the next turn of the event loop.
  if (hits_.Fetch() > 0)
    QMetaObject::invokeMethod(this, &FindAllDialog::OnHits, Qt::QueuedConnection);
  status_->setText(QString::fromStdU16String(hits_.Status()));
}

void FindAllDialog::FitToContent() {
  // A hit's line wide, half the screen high.
  QSize size(fontMetrics().averageCharWidth() * kLineCharacters, sizeHint().height());
  if (const QScreen* screen = this->screen())
    size = size.expandedTo(QSize(0, screen->availableGeometry().height() / 2))
               .boundedTo(screen->availableGeometry().size() * 2 / 3);
  setMinimumSize(minimumSizeHint());
  resize(size.expandedTo(minimumSizeHint()));
}

}  // namespace lirako
