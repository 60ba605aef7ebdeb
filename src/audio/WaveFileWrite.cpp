// Writing a minimal RIFF WAVE file: a "fmt " chunk and a "data" chunk.
#include <unistd.h>

#include <vector>

#include "audio/WaveFile.h"
#include "audio/WaveWriter.h"
#include "job/SafeFiles.h"

namespace zorvek {

namespace {
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void PutId(std::vector<uint8_t>& out, const char* id) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(id[i]));
}
uint32_t Clamp32(uint64_t v) {
    return v > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(v);
}
}  // namespace

std::vector<uint8_t> WaveWriter::Head(const uint8_t* format, uint32_t formatLength, uint64_t dataBytes) {
    std::vector<uint8_t> head;
    head.reserve(64 + formatLength);
    PutId(head, "RIFF");
    Put32(head, Clamp32(4 + 8 + formatLength + (formatLength & 1u) + 8 + dataBytes + (dataBytes & 1u)));
    PutId(head, "WAVE");
    PutId(head, "fmt ");
    Put32(head, formatLength);
    if (format)
        head.insert(head.end(), format, format + formatLength);
    else
        head.resize(head.size() + formatLength, 0);
    if (formatLength & 1u) head.push_back(0);
    PutId(head, "data");
    Put32(head, Clamp32(dataBytes));
    return head;
}

std::vector<uint8_t> WaveWriter::WholeFile(const uint8_t* format, uint32_t formatLength, const uint8_t* samples,
                                           size_t count) {
    std::vector<uint8_t> file = Head(format, formatLength, count);
    file.insert(file.end(), samples, samples + count);
    if (count & 1u) file.push_back(0);
    return file;
}

WaveWriter::~WaveWriter() {
    if (file_) Close();
}

bool WaveWriter::Create(const std::string& fileName, const uint8_t* format, uint32_t formatLength) {
    if (file_) Close();
    // A file there is replaced, but never written through: a link planted under
    // this name is removed, not followed, and a new one planted meanwhile makes
    // the creation fail.
    ::unlink(fileName.c_str());
    const int fd = CreateNewFile(fileName);
    if (fd < 0) return false;
    file_ = ::fdopen(fd, "wb");
    if (!file_) {
        ::close(fd);
        return false;
    }
    ok_ = true;
    dataBytes_ = 0;
    const std::vector<uint8_t> head = Head(format, formatLength, 0);
    dataSizeOffset_ = head.size() - 4;
    ok_ = std::fwrite(head.data(), 1, head.size(), file_) == head.size();
    return true;
}

void WaveWriter::Write(const uint8_t* bytes, size_t count) {
    if (!file_ || count == 0) return;
    if (bytes) {
        ok_ = ok_ && std::fwrite(bytes, 1, count, file_) == count;
    } else {
        static const uint8_t zeros[4096] = {};
        for (size_t left = count; ok_ && left > 0;) {
            const size_t n = left < sizeof zeros ? left : sizeof zeros;
            ok_ = std::fwrite(zeros, 1, n, file_) == n;
            left -= n;
        }
    }
    dataBytes_ += count;
}

bool WaveWriter::Close() {
    if (!file_) return false;
    if (dataBytes_ & 1u) ok_ = ok_ && std::fputc(0, file_) != EOF;
    // A data chunk beyond what a 32-bit size can say is not a WAV file.
    ok_ = ok_ && dataBytes_ <= 0xFFFFFFFFu;
    const uint64_t riffSize = dataSizeOffset_ + 4 + dataBytes_ + (dataBytes_ & 1u) - 8;
    std::vector<uint8_t> size;
    Put32(size, Clamp32(riffSize));
    ok_ = ok_ && std::fseek(file_, 4, SEEK_SET) == 0 && std::fwrite(size.data(), 1, 4, file_) == 4;
    size.clear();
    Put32(size, Clamp32(dataBytes_));
    ok_ = ok_ && std::fseek(file_, static_cast<long>(dataSizeOffset_), SEEK_SET) == 0 &&
          std::fwrite(size.data(), 1, 4, file_) == 4;
    // A full disk shows up at the latest when the file is closed.
    ok_ = (std::fclose(file_) == 0) && ok_;
    file_ = nullptr;
    return ok_;
}

int CWaveFile::WriteWaveFile(const std::string& fileName, const uint8_t* samples, uint32_t byteCount,
                             const uint8_t* format, uint32_t formatLength) {
    WaveWriter writer;
    if (!writer.Create(fileName, format, formatLength)) return 0;
    writer.Write(samples, byteCount);
    return writer.Close() ? 1 : 0;
}

}  // namespace zorvek
