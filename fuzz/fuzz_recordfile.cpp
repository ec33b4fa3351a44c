// libFuzzer entry point: the record container read from arbitrary bytes.
// Every record reads as Ok, BeyondEnd or Corrupt; a text read Ok is at most
// 126 characters and, written back, reads the same.
#include "config/recordfile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace
{

void check(bool ok, const char *rule, int n)
{
    if (!ok) {
        std::fprintf(stderr, "broken rule: %s (record %d)\n", rule, n);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const int records = int(size / recordfile::kRecordSize) + 2;
    for (int n = 0; n <= records; ++n) {
        QString text = QStringLiteral("x");
        const recordfile::ReadStatus st = recordfile::readRecord(bytes, n, &text);
        const qint64 offset = qint64(n - 1) * recordfile::kRecordSize;
        if (n < 1) {
            check(st == recordfile::ReadStatus::Corrupt, "record 0 is refused", n);
            continue;
        }
        if (st != recordfile::ReadStatus::Ok) {
            check(text.isEmpty(), "a failed read gives an empty text", n);
            check((st == recordfile::ReadStatus::BeyondEnd) == (offset >= bytes.size()),
                  "beyond the end exactly when the record starts after the data", n);
            continue;
        }
        check(offset + 2 <= bytes.size(), "a record read Ok has its length", n);
        check(text.size() <= recordfile::kMaxText, "at most 126 characters", n);
        const int length = static_cast<unsigned char>(bytes[offset]) |
                           (static_cast<unsigned char>(bytes[offset + 1]) << 8);
        check(text.size() == length, "one character per byte", n);
        QByteArray copy;
        check(recordfile::writeRecord(copy, n, text), "a text read can be written", n);
        check(copy.size() == (offset + recordfile::kRecordSize), "the file grows to it", n);
        QString again;
        check(recordfile::readRecord(copy, n, &again) == recordfile::ReadStatus::Ok &&
                  again == text,
              "written back, the record reads the same", n);
        check(copy.mid(offset, 2 + length) == bytes.mid(offset, 2 + length),
              "written back, the bytes are the same", n);
    }
    return 0;
}
