#pragma once

#include <QLocale>
#include <QString>
#include <cstddef>

namespace ui {

// How much text the windows give the toolkit's controls. Qt lays out a line
// of text whole, at about a microsecond a character, with int sizes: a line
// of 70 million characters fails to lay out, one of 140 million crashes the
// program, on Linux and on Windows alike. The figures are in the README
// ("Long texts").

// A list box shows at most this much of a text, with "…" where it goes on: a
// row shows some fifteen characters, and the 36 rows in view at this length
// are drawn in a few hundredths of a second.
inline constexpr std::size_t kListItemCharacters = 1000;

// A card's cell holds at most this much text: a card with all its cells this
// long is loaded in under a fifth of a second, and a keystroke in a full box
// takes a few milliseconds. A found card with a longer text is not loaded.
inline constexpr std::size_t kCellCharacters = 10'000;

// A count of characters as the messages write it, in groups of three digits.
inline QString CountText(std::size_t count) {
  return QLocale(QLocale::Russian).toString(static_cast<qulonglong>(count));
}

}  // namespace ui
