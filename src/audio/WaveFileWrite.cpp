// Writing a minimal RIFF WAVE file: a "fmt " chunk and a "data" chunk.
#include <cstdio>
#include <memory>

#include "audio/WaveFile.h"

namespace zorvek {

namespace {
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void PutId(std::vector<uint8_t>& out, const char* id) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(id[i]));
}
}  // namespace

int CWaveFile::WriteWaveFile(const std::string& fileName, const uint8_t* samples, uint32_t byteCount,
                             const uint8_t* format, uint32_t formatLength) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName.c_str(), "wb"));
    if (!file) return 0;

    const uint64_t fmtPadded = uint64_t{formatLength} + (formatLength & 1u);
    const uint64_t dataPadded = uint64_t{byteCount} + (byteCount & 1u);
    const uint64_t riffSize = 4 + 8 + fmtPadded + 8 + dataPadded;

    std::vector<uint8_t> head;
    head.reserve(64 + formatLength);
    PutId(head, "RIFF");
    Put32(head, riffSize > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(riffSize));
    PutId(head, "WAVE");
    PutId(head, "fmt ");
    Put32(head, formatLength);
    if (format)
        head.insert(head.end(), format, format + formatLength);
    else
        head.resize(head.size() + formatLength, 0);
    if (formatLength & 1u) head.push_back(0);
    PutId(head, "data");
    Put32(head, byteCount);

    bool ok = std::fwrite(head.data(), 1, head.size(), file.get()) == head.size();
    if (samples) {
        ok = ok && std::fwrite(samples, 1, byteCount, file.get()) == byteCount;
    } else {
        static const uint8_t zeros[4096] = {};
        for (uint64_t left = byteCount; ok && left > 0;) {
            const size_t n = left < sizeof zeros ? static_cast<size_t>(left) : sizeof zeros;
            ok = std::fwrite(zeros, 1, n, file.get()) == n;
            left -= n;
        }
    }
    if (byteCount & 1u) ok = ok && std::fputc(0, file.get()) != EOF;
    // A full disk shows up at the latest when the file is closed.
    ok = (std::fclose(file.release()) == 0) && ok;
    return ok ? 1 : 0;
}

}  // namespace zorvek
