#pragma once

namespace card {

class SubscriberCard;

// Brings the due amounts and totals up to date with the four typed amounts
// and the benefit divisor. An empty cell of the billing table is first given
// "0"; all nine cells are read, and the first one that is not a number stops
// the run before any derived cell is written. Each derived cell is written
// from the values read at the start of the run; the writes that change a cell
// nest further runs. Which cell's change set off the run plays no part.
void Recalculate(SubscriberCard& card);

}  // namespace card
