#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include "engine/ItemPageData.h"

namespace th {

// Reads one auction item page into its twenty fields.
//
// `page` is the text exactly as it came off the wire, one byte per character (Latin-1): in an
// all-items pass the whole answer the engine collected (status line, headers and body), in the
// single-item update the page body alone. The positions the reader's thresholds count (18000
// for the ended notice, 1000 for the quantity label) are byte offsets in that text, so it is
// taken as bytes: the engine hands its receive buffer over as it stands, with no decoding and
// no copy, and a QByteArray converts implicitly.
//
// The reader is a keyword scraper: it looks for the auction site's fixed labels and tags and
// cuts the text between a start marker and a closing marker, in a fixed order. It keeps no
// state between calls, shows nothing and never fails: a page that is not an item page still
// yields twenty fields (field 1 "(Info not found)", fields 4 to 7 "False" for an empty page).
ItemPageData ParseItemPage(QByteArrayView page);

// The tidying every value read from a page goes through: each carriage-return line-feed pair
// becomes one blank, every run of blanks becomes one blank, and blanks at either end go. Only
// the blank (code 32) counts; tabs and lone line feeds stay as they are.
QByteArray CleanText(QByteArrayView text);

// Turns the character references of a title into their characters, in one pass: "&amp;",
// "&quot;", "&apos;", "&lt;", "&gt;", "&nbsp;" (a blank) and numeric ones ("&#233;",
// "&#xE9;"). Any other text starting with "&" stays as it is; "&amp;quot;" gives "&quot;".
QString decodeCharacterReferences(QStringView text);

} // namespace th
