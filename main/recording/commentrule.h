#pragma once

#include <QString>

// What a note's comment may hold: one word of at most 29 characters (the
// ID3v1 field has 30 bytes), blanks entered as "_". The comment field keeps
// to it while the user types; the command line applies it to --comment.
namespace CommentRule {

constexpr int kMaxLength = 29;

// Every blank becomes "_".
QString blanksReplaced(const QString& text);

// The text as the comment field would hold it had it been typed there:
// control characters dropped, blanks replaced, cut to kMaxLength characters (never inside a
// character that needs two UTF-16 units).
QString typed(const QString& text);
// The text without its control characters (line breaks, escapes).
QString withoutControls(const QString& text);

} // namespace CommentRule
