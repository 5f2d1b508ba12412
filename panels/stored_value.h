#pragma once

// How a panel reads a control's stored state back from its settings file.
// QSettings writes a switch as "true" or "false" and a dial as a decimal
// number; a file edited by hand, cut short or overwritten can hold anything
// else in their place. Only what QSettings would have written is taken;
// anything else gives the control's default, so a damaged file never turns a
// switch on or moves a dial somewhere the user did not put it.

#include <QVariant>
#include <optional>

namespace PanelParts {

// The same rules without a default: the value, or nothing when `stored` is
// not what QSettings would have written. A preset is checked with these, so
// that a value the panel would quietly replace is reported instead.
std::optional<int> parseStoredInt(const QVariant& stored);
std::optional<bool> parseStoredBool(const QVariant& stored);

// `stored` as a dial value: an integer that fits in int, held as a number or
// as its decimal text (an optional '-' and digits only). Anything else, such
// as empty text, words, fractions, numbers beyond int or lists, gives
// `fallback`. The dial clamps what it is given to its own range.
int storedInt(const QVariant& stored, int fallback);

// `stored` as a switch state: a bool, the text "true" or "false", or the
// unambiguous "1" or "0" of a hand-edited file. Anything else gives
// `fallback`.
bool storedBool(const QVariant& stored, bool fallback);

} // namespace PanelParts
