#pragma once
// Listening to a row's message as the siren will sound. The conversion runs on
// a worker thread and is kept per file and modification time, so a second
// listen starts at once; the sound goes to a SoundOutput (the speakers, or a
// recorder in tests).
#include <QObject>
#include <QPointer>
#include <QString>
#include <QThread>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zorvek {

class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // Empty when sound can be played; otherwise why not, for a tooltip.
    virtual QString unavailableReason() const = 0;
    // Plays mono 16-bit samples; `finished` runs (on the GUI thread) when they end, not after stop().
    virtual void play(std::shared_ptr<const std::vector<int16_t>> samples, int rate,
                      std::function<void()> finished) = 0;
    virtual void stop() = 0;
};

// The default audio output through Qt Multimedia.
std::unique_ptr<SoundOutput> makeSpeakerOutput();

class MessagePlayer : public QObject {
public:
    MessagePlayer(std::unique_ptr<SoundOutput> output, QObject* parent = nullptr);
    ~MessagePlayer() override;

    QString unavailableReason() const { return output_->unavailableReason(); }
    // Where the sound goes; other listeners (the Prepare dialog) play through it too.
    SoundOutput* output() const { return output_.get(); }
    // Starts the slot's message (stopping any other), or stops it when it is
    // the one playing or being prepared.
    void toggle(int slot, const std::string& path);
    void stop();
    // The slot playing or being converted for playing; 0 for none.
    int activeSlot() const { return activeSlot_; }
    bool converting() const { return converting_; }
    int conversions() const { return conversions_; }
    // Runs after every change of activeSlot() with it and an empty problem; after
    // a conversion that failed, with that row's slot and the problem.
    std::function<void(int slot, const QString& problem)> onChanged;

private:
    struct Cached {
        int64_t modified = 0;
        uint64_t size = 0;
        std::shared_ptr<const std::vector<int16_t>> samples;
    };
    void start(int slot, std::shared_ptr<const std::vector<int16_t>> samples);
    void converted(uint64_t request, int slot, const std::string& path, int64_t modified, uint64_t size,
                   std::vector<int16_t> samples, const std::string& problem);
    void changed();

    std::unique_ptr<SoundOutput> output_;
    std::map<std::string, Cached> cache_;
    std::vector<QPointer<QThread>> workers_;
    uint64_t request_ = 0;  // the conversion whose result is still wanted
    int activeSlot_ = 0;
    bool converting_ = false;
    int conversions_ = 0;
};

}  // namespace zorvek
