#pragma once

#include <QLocale>
#include <QString>
#include <cstddef>

namespace ui {

// These limits keep the texts that the windows give Qt's controls short
// enough to lay out at once, since Qt lays out a line whole, with int sizes,
// and fails or crashes on a line long enough. docs/long-texts.md gives the
// measurements.

// A list box shows at most this much of a text, with "…" where it goes on;
// a row shows only its first few characters anyway.
inline constexpr std::size_t kListItemCharacters = 1000;

// A card's cell holds at most this much text, which keeps a keystroke in a
// full box quick. "Просмотр" refuses a found card with a longer text.
inline constexpr std::size_t kCellCharacters = 10'000;

// Writes a count of characters as the messages do, in groups of three
// digits.
inline QString CountText(std::size_t count) {
  return QLocale(QLocale::Russian).toString(static_cast<qulonglong>(count));
}

}  // namespace ui
