#pragma once

#include <QString>

class CVexlorElement;

// The texts of an element's tool tip, without a window.
namespace elementTipText {

// The bar's text for the element: its description when the connection has no user, otherwise
// "Connection string: user@database" with the description on a second line when there is one; a
// valid last start adds "Last start: dd.mm.yyyy hh:mm:ss" on a line of its own.
QString toolText(const CVexlorElement &element);

// The part of an SQL text the tip shows: everything before its fifteenth line break, so at most
// fifteen lines ("\r\n", "\n" and "\r" each count as one break).
QString sqlPreview(const QString &sql);

inline constexpr int kPreviewLines = 15;

} // namespace elementTipText
