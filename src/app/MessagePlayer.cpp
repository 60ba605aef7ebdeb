#include "app/MessagePlayer.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QFileInfo>
#include <QMediaDevices>

#include "ui/Translation.h"

#include "audio/MessagePreview.h"
#include "audio/Resampler.h"

namespace zorvek {

namespace {

QAudioFormat sirenFormat() {
    QAudioFormat format;
    format.setSampleRate(static_cast<int>(kSirenSampleRate));
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

class SpeakerOutput : public SoundOutput {
public:
    SpeakerOutput() : device_(QMediaDevices::defaultAudioOutput()) {}
    ~SpeakerOutput() override { stop(); }

    QString unavailableReason() const override {
        // Qt Multimedia plays through a PulseAudio server (PipeWire's counts).
        if (device_.isNull())
            return zt("No audio output was found, so messages cannot be played.") + QLatin1Char('\n') +
                   zt("Install the sound server package pipewire-pulse (or pulseaudio).");
        if (!device_.isFormatSupported(sirenFormat()))
            return zt("The audio output cannot play 22010 samples/s, so messages cannot be played.");
        return {};
    }

    void play(std::shared_ptr<const std::vector<int16_t>> samples, int rate, std::function<void()> finished) override {
        stop();
        samples_ = std::move(samples);
        bytes_ = QByteArray::fromRawData(reinterpret_cast<const char*>(samples_->data()),
                                         static_cast<qsizetype>(samples_->size() * sizeof(int16_t)));
        buffer_ = std::make_unique<QBuffer>(&bytes_);
        buffer_->open(QIODevice::ReadOnly);
        QAudioFormat format = sirenFormat();
        format.setSampleRate(rate);
        sink_ = std::make_unique<QAudioSink>(device_, format);
        QObject::connect(sink_.get(), &QAudioSink::stateChanged, sink_.get(),
                         [this, finished = std::move(finished)](QAudio::State state) {
                             // Idle: every sample was handed over and played.
                             if (state != QAudio::IdleState) return;
                             QMetaObject::invokeMethod(
                                 sink_.get(),
                                 [this, finished] {
                                     stop();
                                     finished();
                                 },
                                 Qt::QueuedConnection);
                         });
        sink_->start(buffer_.get());
    }

    void stop() override {
        if (sink_) {
            sink_->disconnect();
            sink_->stop();
        }
        sink_.reset();
        buffer_.reset();
        bytes_.clear();
        samples_.reset();
    }

private:
    QAudioDevice device_;
    std::shared_ptr<const std::vector<int16_t>> samples_;
    QByteArray bytes_;
    std::unique_ptr<QBuffer> buffer_;
    std::unique_ptr<QAudioSink> sink_;
};

}  // namespace

std::unique_ptr<SoundOutput> makeSpeakerOutput() {
    return std::make_unique<SpeakerOutput>();
}

MessagePlayer::MessagePlayer(std::unique_ptr<SoundOutput> output, QObject* parent)
    : QObject(parent), output_(std::move(output)) {}

MessagePlayer::~MessagePlayer() {
    output_->stop();
    // A conversion still running would report to a player that is gone.
    for (const QPointer<QThread>& worker : workers_)
        if (worker) worker->wait();
}

void MessagePlayer::stop() {
    ++request_;
    converting_ = false;
    output_->stop();
    if (activeSlot_ != 0) {
        activeSlot_ = 0;
        changed();
    }
}

void MessagePlayer::toggle(int slot, const std::string& path) {
    const bool wasActive = activeSlot_ == slot;
    stop();
    if (wasActive || path.empty() || !unavailableReason().isEmpty()) return;

    const QFileInfo file(QString::fromStdString(path));
    const int64_t modified = file.lastModified().toMSecsSinceEpoch();
    const auto size = static_cast<uint64_t>(file.size());
    auto hit = cache_.find(path);
    if (hit != cache_.end() && hit->second.modified == modified && hit->second.size == size) {
        start(slot, hit->second.samples);
        return;
    }

    // Converting a long message takes a while: never on the GUI thread.
    activeSlot_ = slot;
    converting_ = true;
    ++conversions_;
    const uint64_t request = request_;
    QThread* worker = QThread::create([this, request, slot, path, modified, size] {
        MessagePreview preview = PreviewMessage(path);
        QMetaObject::invokeMethod(
            this,
            [this, request, slot, path, modified, size, preview = std::move(preview)]() mutable {
                converted(request, slot, path, modified, size, std::move(preview.samples), preview.problem);
            },
            Qt::QueuedConnection);
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    std::erase_if(workers_, [](const QPointer<QThread>& w) { return w.isNull(); });
    workers_.emplace_back(worker);
    worker->start();
    changed();
}

void MessagePlayer::converted(uint64_t request, int slot, const std::string& path, int64_t modified, uint64_t size,
                              std::vector<int16_t> samples, const std::string& problem) {
    if (!problem.empty()) {
        if (request != request_) return;
        converting_ = false;
        activeSlot_ = 0;
        if (onChanged) onChanged(slot, QString::fromStdString(problem));
        return;
    }
    auto shared = std::make_shared<const std::vector<int16_t>>(std::move(samples));
    cache_[path] = Cached{modified, size, shared};
    if (request != request_) return;  // stopped, or another row started meanwhile
    converting_ = false;
    start(slot, shared);
}

void MessagePlayer::start(int slot, std::shared_ptr<const std::vector<int16_t>> samples) {
    activeSlot_ = slot;
    const uint64_t request = request_;
    output_->play(std::move(samples), static_cast<int>(kSirenSampleRate), [this, request] {
        if (request != request_) return;
        activeSlot_ = 0;
        changed();
    });
    changed();
}

void MessagePlayer::changed() {
    if (onChanged) onChanged(activeSlot_, QString());
}

}  // namespace zorvek
