#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace card {

// Number of fields of a subscriber: the card's cells, the pieces of a saved
// line and (all but the last) the result columns share these indices.
inline constexpr int kFieldCount = 15;

// The search keeps every field but the total due.
inline constexpr int kResultColumnCount = 14;

// Field indices. The same index names the card cell, the field of a saved
// line and the result column.
namespace field {
enum : int {
  Surname = 0,
  FirstName = 1,
  Patronymic = 2,
  Address = 3,
  SubscriberNumber = 4,
  AccountNumber = 5,
  SubscriptionCharged = 6,
  SubscriptionPaid = 7,
  SubscriptionDue = 8,
  MeteredCharged = 9,
  MeteredPaid = 10,
  MeteredDue = 11,
  TotalCharged = 12,
  TotalPaid = 13,
  TotalDue = 14,
};
}  // namespace field

// One row of the field table, the one place where each field's captions
// are written.
struct FieldInfo {
  std::string_view name;          // the field's name in the code
  std::string_view caption;       // what the clerk reads on the card
  std::string_view initial_text;  // at creation and after a reset
  bool derived;                   // rewritten by the recalculation
  // The header of the field's column in the search window, where it differs
  // from the caption.
  std::string_view column_header = {};
};

inline constexpr std::array<FieldInfo, kFieldCount> kFields{{
    {"Surname", "Фамилия", "", false},
    {"FirstName", "Имя", "", false},
    {"Patronymic", "Отчество", "", false},
    {"Address", "Адрес абонента", "", false, "Улица"},
    {"SubscriberNumber", "Номер абонента", "", false, "Телефон"},
    {"AccountNumber", "Лицевой счет", "", false},
    {"SubscriptionCharged", "Абонентская плата, начислено", "1,3", false},
    {"SubscriptionPaid", "Абонентская плата, погашено", "0", false},
    {"SubscriptionDue", "Абонентская плата, к оплате", "0", true},
    {"MeteredCharged", "Повременная плата, начислено", "0", false},
    {"MeteredPaid", "Повременная плата, погашено", "0", false},
    {"MeteredDue", "Повременная плата, к оплате", "0", true},
    {"TotalCharged", "Итого, начислено", "0", true},
    {"TotalPaid", "Итого, погашено", "0", true},
    {"TotalDue", "Итого, к оплате", "0", true},
}};

// The 15 texts of one subscriber, indexed by field.
using SubscriberRecord = std::array<std::string, kFieldCount>;

// The 14 texts of one result row, indexed by field.
using ResultRow = std::array<std::string, kResultColumnCount>;

}  // namespace card
