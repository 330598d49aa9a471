#pragma once

#include <QLocale>
#include <QString>
#include <cstddef>

namespace ui {

// How much text the windows give the toolkit's controls. Qt lays out a line
// of text whole, at about a microsecond a character, and with int sizes: a
// line of 2^26 characters fails to lay out and one of 2^27 crashes it. The
// figures that set these limits are in the README ("Long texts").

// A list box shows at most this much of a text, cut where it goes on: a row
// shows some fifteen characters, and 36 rows in view at this length are
// drawn in a few hundredths of a second.
inline constexpr std::size_t kListItemCharacters = 1000;

// A card's cell holds at most this much text: three times the line edit's
// own limit, and a keystroke in a full box still takes under a tenth of a
// second. A found card with a longer text is not loaded.
inline constexpr std::size_t kCellCharacters = 100'000;

// A count of characters as the messages write it, in groups of three digits.
inline QString CountText(std::size_t count) {
  return QLocale(QLocale::Russian).toString(static_cast<qulonglong>(count));
}

}  // namespace ui
