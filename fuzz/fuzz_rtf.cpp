// libFuzzer entry point: the RTF reader of the rich text boxes. Any bytes
// read without a crash; what was read is written as RTF that reads back to
// the same text and writes out the same again.
#include "common/rtf.h"
#include "fuzzenv.h"

#include <QTextDocument>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzenv::app();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzzenv::app();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("avant"));
    // Blanks of Latin-1 may come first, as some old editors wrote them.
    qsizetype start = 0;
    while (start < bytes.size() && QChar::isSpace(uchar(bytes[start])))
        ++start;
    const bool isRtf = bytes.mid(start).startsWith("{\\rtf");
    QString error;
    const bool ok = rtf::read(bytes, &doc, &error);
    fuzzenv::check(ok == isRtf, "RTF exactly when the data starts with {\\rtf");
    fuzzenv::check(ok == error.isEmpty(), "a reason exactly on a refusal");
    if (!ok) {
        fuzzenv::check(doc.isEmpty(), "a refused text leaves the box empty");
        return 0;
    }
    const QByteArray written = rtf::write(doc);
    QTextDocument again;
    fuzzenv::check(rtf::read(written, &again), "what is written reads as RTF");
    fuzzenv::check(again.toPlainText() == doc.toPlainText(), "written and read, the text stays",
                   doc.toPlainText().left(200) + QStringLiteral(" | ") +
                       again.toPlainText().left(200));
    fuzzenv::check(rtf::write(again) == written, "written twice, the RTF is the same");
    return 0;
}
