#include "core/state_bits_model.h"

#include "core/processor.h"
#include "format/bit_string.h"

namespace vesk {

namespace {

const char* const kMeanings[StateBitsModel::kRows] = {
    "Перенос (С)",
    "Нуль (Z)",
    "Знак (N)",
    "(для организации безусловных переходом викропрограммы)",
    "Разрешение прерывания",
    "Прерывание",
    "Состояния ВУ",
    "Состояние (1 - Работа / 0 - Останов)",
    "Программа",
    "Выборка команды",
    "Выборка адреса",
    "Исполнение",
    "Ввод-вывод",
};

unsigned ShownBits(const Processor& cpu) {
  unsigned bits = 0;
  for (int b = 0; b < StateBitsModel::kRows; ++b)
    if (GetBit(cpu.Reg_Get_State(), b) != 0) bits |= 1u << b;
  return bits;
}

}  // namespace

StateBitsModel::StateBitsModel(const Processor& cpu, QObject* parent)
    : QAbstractTableModel(parent), cpu_(cpu), shown_(ShownBits(cpu)) {}

QString StateBitsModel::Meaning(int bit) {
  return bit >= 0 && bit < kRows ? QString::fromUtf8(kMeanings[bit]) : QString();
}

int StateBitsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kRows; }

int StateBitsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant StateBitsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= kRows || index.column() >= kColumnCount) return {};
  const int bit = index.row();
  if (role == Qt::TextAlignmentRole && index.column() != kMeaning) return int(Qt::AlignCenter);
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  switch (index.column()) {
    case kBit:
      return QString::number(bit);
    case kValue:
      return QString::number(GetBit(cpu_.Reg_Get_State(), bit));
    case kMeaning:
      return Meaning(bit);
    default:
      return {};
  }
}

QVariant StateBitsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  static const char* const kHeaders[kColumnCount] = {"Разряд", "Значение", "Смысл"};
  if (section < 0 || section >= kColumnCount) return {};
  return QString::fromUtf8(kHeaders[section]);
}

void StateBitsModel::stateChanged() {
  const unsigned now = ShownBits(cpu_);
  const unsigned changed = now ^ shown_;
  shown_ = now;
  for (int b = 0; b < kRows; ++b)
    if (changed & (1u << b)) emit dataChanged(index(b, kValue), index(b, kValue), {Qt::DisplayRole});
}

}  // namespace vesk
