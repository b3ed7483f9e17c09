#include "app/library_dialog.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include "view/library_table.h"

namespace lirako {
namespace {

constexpr char16_t kTitle[] = u"서재";
constexpr char16_t kFindButton[] = u"찾기…";
constexpr char16_t kOpenButton[] = u"열기";
constexpr char16_t kFilterHint[] = u"거르기";
constexpr char16_t kForgetQuestion[] = u"이 책을 서재에서 지울까요?";
constexpr int kProgressRole = Qt::UserRole;

QString Q(const std::u16string& text) {
  return QString::fromStdU16String(text);
}

// The rows of a LibraryTable for a QTableView.
class LibraryModel : public QAbstractTableModel {
 public:
  explicit LibraryModel(LibraryTable& table) : table_(table) {}

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(table_.RowCount());
  }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : LibraryTable::kColumnCount;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    const auto row = static_cast<size_t>(index.row());
    const auto column = static_cast<LibraryTable::Column>(index.column());
    if (role == Qt::DisplayRole) return Q(table_.Text(row, column));
    if (role == kProgressRole) return table_.Progress(row);
    if (role == Qt::ToolTipRole) return Q(table_.Path(row));
    if (role == Qt::ForegroundRole && table_.Missing(row))
      return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
    return {};
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return Q(LibraryTable::Header(static_cast<LibraryTable::Column>(section)));
  }
  void sort(int column, Qt::SortOrder order) override {
    Change([&] {
      table_.Sort(static_cast<LibraryTable::Column>(column), order == Qt::AscendingOrder);
    });
  }
  // Runs `change` on the table as a reset of the model.
  template <typename F>
  void Change(F change) {
    beginResetModel();
    change();
    endResetModel();
  }

 private:
  LibraryTable& table_;
};

// Draws the progress column as a progress bar.
class ProgressDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionProgressBar bar;
    bar.rect = option.rect.adjusted(2, 3, -2, -3);
    bar.minimum = 0;
    bar.maximum = 1000;
    bar.progress = static_cast<int>(index.data(kProgressRole).toDouble() * 1000);
    bar.text = index.data(Qt::DisplayRole).toString();
    bar.textVisible = true;
    bar.state = option.state;
    QApplication::style()->drawControl(QStyle::CE_ProgressBar, &bar, painter);
  }
};

}  // namespace

std::u16string ChooseFromLibrary(Platform& platform, Library& library, QWidget* parent) {
  LibraryTable table(platform, library);
  table.Reload();
  LibraryModel model(table);

  QDialog dialog(parent);
  dialog.setWindowTitle(Q(kTitle));
  auto* filter = new QLineEdit(&dialog);
  filter->setPlaceholderText(Q(kFilterHint));
  filter->setClearButtonEnabled(true);
  auto* list = new QTableView(&dialog);
  list->setModel(&model);
  list->setItemDelegateForColumn(LibraryTable::kProgress, new ProgressDelegate(list));
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // The indicator first: enabling sorting sorts at once by the indicated column, and the
  // list comes sorted by last read already, which is cheap to sort again.
  list->horizontalHeader()->setSortIndicator(LibraryTable::kLastRead, Qt::DescendingOrder);
  list->setSortingEnabled(true);
  list->verticalHeader()->hide();
  list->horizontalHeader()->setSectionResizeMode(LibraryTable::kFolder, QHeaderView::Stretch);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
  QPushButton* find = buttons->addButton(Q(kFindButton), QDialogButtonBox::ActionRole);
  QPushButton* open = buttons->addButton(Q(kOpenButton), QDialogButtonBox::AcceptRole);
  open->setDefault(true);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(filter);
  layout->addWidget(list);
  layout->addWidget(buttons);
  dialog.resize(760, 480);

  auto currentRow = [&]() -> int {
    const QModelIndex index = list->currentIndex();
    return index.isValid() ? index.row() : -1;
  };
  auto updateButtons = [&] {
    const int row = currentRow();
    open->setEnabled(row >= 0 && !table.Missing(static_cast<size_t>(row)));
    find->setEnabled(row >= 0 && table.Missing(static_cast<size_t>(row)));
  };
  auto selectFirst = [&] {
    if (model.rowCount({}) > 0) list->setCurrentIndex(model.index(0, 0));
    updateButtons();
  };
  std::u16string chosen;
  auto openCurrent = [&] {
    const int row = currentRow();
    if (row < 0 || table.Missing(static_cast<size_t>(row))) return;
    chosen = table.Path(static_cast<size_t>(row));
    dialog.accept();
  };

  QObject::connect(filter, &QLineEdit::textChanged, &dialog, [&](const QString& text) {
    model.Change([&] { table.SetFilter(text.toStdU16String()); });
    selectFirst();
  });
  QObject::connect(list->selectionModel(), &QItemSelectionModel::currentChanged, &dialog,
                   [&] { updateButtons(); });
  QObject::connect(list, &QTableView::doubleClicked, &dialog, [&] { openCurrent(); });
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] { openCurrent(); });
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(find, &QPushButton::clicked, &dialog, [&] {
    const int row = currentRow();
    if (row < 0) return;
    const QString path = QFileDialog::getOpenFileName(&dialog, Q(kFindButton));
    if (path.isEmpty()) return;
    std::string err;
    model.Change([&] { table.Relocate(static_cast<size_t>(row), path.toStdU16String(), &err); });
    if (!err.empty()) QMessageBox::warning(&dialog, Q(kTitle), QString::fromStdString(err));
    list->setCurrentIndex(model.index(row, 0));
    updateButtons();
  });
  auto* forget = new QShortcut(QKeySequence::Delete, list);
  QObject::connect(forget, &QShortcut::activated, &dialog, [&] {
    const int row = currentRow();
    if (row < 0) return;
    if (QMessageBox::question(&dialog, Q(kTitle),
                              Q(kForgetQuestion) + QChar(u'\n') +
                                  Q(table.Path(static_cast<size_t>(row)))) != QMessageBox::Yes)
      return;
    std::string err;
    model.Change([&] { table.Forget(static_cast<size_t>(row), &err); });
    if (!err.empty()) QMessageBox::warning(&dialog, Q(kTitle), QString::fromStdString(err));
    list->setCurrentIndex(model.index(std::min(row, model.rowCount({}) - 1), 0));
    updateButtons();
  });

  selectFirst();
  list->setFocus();
  return dialog.exec() == QDialog::Accepted ? chosen : std::u16string();
}

}  // namespace lirako
