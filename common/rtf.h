#pragma once
// A small RTF codec for the rich text boxes: statements and corrections of the
// exercises, the user's answer texts, the values report and the clipboard.
// Qt has no RTF support, so the subset that word processors write for plain
// formatted text is mapped onto QTextDocument and back.
#include <QByteArray>
#include <QString>

class QTextDocument;
class QTextDocumentFragment;

namespace rtf
{

// Replaces the content of doc with the RTF text. Returns false, with a short
// reason in error, when the data does not start with "{\rtf" (leading
// whitespace allowed); doc is then empty. Any other input, malformed or
// truncated, is read as far as it makes sense and returns true.
bool read(const QByteArray &rtf, QTextDocument *doc, QString *error = nullptr);

// RTF of the whole document or of a selection: fonts, sizes, colours, bold,
// italic, underline, strike-out, superscript and subscript, alignment,
// indents, spacing, line breaks and PNG images. Plain ASCII output, every
// other character as \uN with a Windows-1252 fallback.
QByteArray write(const QTextDocument &doc);
QByteArray write(const QTextDocumentFragment &fragment);

} // namespace rtf
