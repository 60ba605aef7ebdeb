#include "app/PrepareDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>
#include <filesystem>

#include "app/MessagePlayer.h"
#include "audio/HighPass.h"
#include "audio/LoudnessNormalise.h"
#include "audio/PreparedOutput.h"
#include "audio/Resampler.h"
#include "audio/SilenceTrim.h"
#include "audio/SpeechSynth.h"
#include "ui/Translation.h"
#include "job/Translate.h"

namespace zorvek {
namespace {

template <class W>
W* named(W* widget, const char* objectName, const QString& accessible) {
    widget->setObjectName(QString::fromUtf8(objectName));
    widget->setAccessibleName(accessible);
    return widget;
}

QString Figures(const SignalStats& s) { return QString::fromStdString(DescribeStats(s)); }

}  // namespace

PrepareDialog::PrepareDialog(int messageNumber, const std::string& sourcePath, std::string speechFolder,
                             SoundOutput* output, QWidget* parent)
    : QDialog(parent), speechFolder_(std::move(speechFolder)), output_(output) {
    setWindowTitle(zt("Prepare Message %1").arg(messageNumber));
    setObjectName(QStringLiteral("prepareDialog"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    report_ = named(new QLabel(zt("Choose the steps and press Prepare."), this), "prepareReport",
                    zt("Before and after"));
    report_->setTextFormat(Qt::PlainText);
    report_->setWordWrap(true);
    report_->setMinimumHeight(report_->fontMetrics().lineSpacing() * 7);
    report_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    prepareButton_ = named(new QPushButton(zt("&Prepare"), this), "prepareRun", zt("Prepare"));
    listen_ = named(new QPushButton(zt("&Listen"), this), "prepareListen",
                    zt("Listen to the prepared message"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = named(buttons->button(QDialogButtonBox::Ok), "prepareOk", zt("Save and use for this message"));
    ok_->setToolTip(zt("Saves the prepared message as a new WAV file and puts it into the row"));
    named(buttons->button(QDialogButtonBox::Cancel), "prepareCancel", zt("Cancel"));
    buttons->addButton(prepareButton_, QDialogButtonBox::ActionRole);
    buttons->addButton(listen_, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &PrepareDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PrepareDialog::reject);
    connect(prepareButton_, &QPushButton::clicked, this, &PrepareDialog::prepare);
    connect(listen_, &QPushButton::clicked, this, &PrepareDialog::listen);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildSource(sourcePath));
    layout->addWidget(buildSteps());
    layout->addWidget(report_);
    layout->addWidget(buttons);
    prepareButton_->setDefault(true);
    updateButtons();
}

PrepareDialog::~PrepareDialog() {
    stopWork();
    if (playing_ && output_) output_->stop();
}

QWidget* PrepareDialog::buildSource(const std::string& sourcePath) {
    auto* box = new QGroupBox(zt("Message from"), this);
    auto* grid = new QGridLayout(box);
    fromFile_ = named(new QRadioButton(zt("Audio &file:"), box), "prepareFromFile",
                      zt("Message from an audio file"));
    file_ = named(new QLineEdit(QString::fromStdString(sourcePath), box), "prepareFile",
                  zt("Audio file (WAV, FLAC, Ogg Vorbis, MP3)"));
    file_->setMinimumWidth(360);
    browse_ = named(new QPushButton(zt("&Browse..."), box), "prepareBrowse",
                    zt("Choose an audio file"));
    fromText_ = named(new QRadioButton(zt("&Text to speak:"), box), "prepareFromText",
                      zt("Message from text to speech"));
    text_ = named(new QPlainTextEdit(box), "prepareText", zt("Text to speak"));
    text_->setTabChangesFocus(true);
    text_->setFixedHeight(text_->fontMetrics().lineSpacing() * 3 + 12);
    voice_ = named(new QComboBox(box), "prepareVoice", zt("Voice"));
    std::string error;
    for (const VoiceInfo& v : ListVoices(&error))
        voice_->addItem(QStringLiteral("%1 (%2)").arg(QString::fromStdString(v.language), QString::fromStdString(v.name)),
                        QString::fromStdString(v.language));
    const int english = voice_->findData(QStringLiteral("en-gb"));
    voice_->setCurrentIndex(english >= 0 ? english : 0);
    if (voice_->count() == 0) {
        fromText_->setEnabled(false);
        fromText_->setToolTip(error.empty() ? zt("No speech voices are installed") : QString::fromStdString(TranslatedLines(error)));
    }
    speed_ = named(new QSpinBox(box), "prepareSpeed", zt("Speed in words per minute"));
    speed_->setRange(kMinSpeechWpm, kMaxSpeechWpm);
    speed_->setValue(kDefaultSpeechWpm);
    speed_->setSuffix(zt(" words/min"));
    auto* voiceLabel = new QLabel(zt("&Voice:"), box);
    voiceLabel->setBuddy(voice_);
    auto* speedLabel = new QLabel(zt("&Speed:"), box);
    speedLabel->setBuddy(speed_);

    grid->addWidget(fromFile_, 0, 0);
    grid->addWidget(file_, 0, 1, 1, 3);
    grid->addWidget(browse_, 0, 4);
    grid->addWidget(fromText_, 1, 0, Qt::AlignTop);
    grid->addWidget(text_, 1, 1, 1, 4);
    grid->addWidget(voiceLabel, 2, 1);
    grid->addWidget(voice_, 2, 2);
    grid->addWidget(speedLabel, 2, 3);
    grid->addWidget(speed_, 2, 4);
    (sourcePath.empty() && voice_->count() ? fromText_ : fromFile_)->setChecked(true);

    connect(browse_, &QPushButton::clicked, this, &PrepareDialog::chooseFile);
    for (QRadioButton* r : {fromFile_, fromText_}) connect(r, &QRadioButton::toggled, this, &PrepareDialog::changed);
    connect(file_, &QLineEdit::textChanged, this, &PrepareDialog::changed);
    connect(text_, &QPlainTextEdit::textChanged, this, &PrepareDialog::changed);
    connect(voice_, &QComboBox::currentIndexChanged, this, &PrepareDialog::changed);
    connect(speed_, &QSpinBox::valueChanged, this, &PrepareDialog::changed);
    return box;
}

QWidget* PrepareDialog::buildSteps() {
    auto* box = new QGroupBox(zt("Steps"), this);
    auto* grid = new QGridLayout(box);
    auto dbBox = [&](const char* name, const QString& accessible, double low, double high, double value,
                     const QString& suffix) {
        auto* spin = named(new QDoubleSpinBox(box), name, accessible);
        spin->setRange(low, high);
        spin->setDecimals(1);
        spin->setValue(value);
        spin->setSuffix(suffix);
        connect(spin, &QDoubleSpinBox::valueChanged, this, &PrepareDialog::changed);
        return spin;
    };
    trim_ = named(new QCheckBox(zt("T&rim silence at both ends, below"), box), "prepareTrim",
                  zt("Trim silence at both ends"));
    threshold_ = dbBox("prepareThreshold", zt("Silence threshold in dBFS"), -90, -10,
                       kDefaultTrimThresholdDbfs, zt(" dBFS"));
    highPass_ = named(new QCheckBox(zt("&High-pass for horn loudspeakers at"), box), "prepareHighPass",
                      zt("High-pass for horn loudspeakers"));
    corner_ = named(new QSpinBox(box), "prepareCorner", zt("High-pass corner in hertz"));
    corner_->setRange(static_cast<int>(kMinHighPassHz), static_cast<int>(kMaxHighPassHz));
    corner_->setValue(static_cast<int>(kDefaultHighPassHz));
    corner_->setSuffix(zt(" Hz"));
    connect(corner_, &QSpinBox::valueChanged, this, &PrepareDialog::changed);
    loudness_ = named(new QCheckBox(zt("Loud&ness to"), box), "prepareLoudness",
                      zt("Normalise loudness"));
    target_ = dbBox("prepareTarget", zt("Loudness target in LUFS"), -40, -5, kDefaultLoudnessLufs,
                    zt(" LUFS"));
    ceiling_ = dbBox("prepareCeiling", zt("True-peak ceiling in dBTP"), -20, 0, kDefaultCeilingDbtp,
                     zt(" dBTP"));
    auto* ceilingLabel = new QLabel(zt("true peak at most"), box);
    ceilingLabel->setBuddy(ceiling_);
    for (QCheckBox* c : {trim_, highPass_, loudness_}) {
        c->setChecked(true);
        connect(c, &QCheckBox::toggled, this, &PrepareDialog::changed);
    }
    grid->addWidget(trim_, 0, 0);
    grid->addWidget(threshold_, 0, 1);
    grid->addWidget(highPass_, 1, 0);
    grid->addWidget(corner_, 1, 1);
    grid->addWidget(loudness_, 2, 0);
    grid->addWidget(target_, 2, 1);
    grid->addWidget(ceilingLabel, 2, 2);
    grid->addWidget(ceiling_, 2, 3);
    grid->setColumnStretch(4, 1);
    return box;
}

PrepareSettings PrepareDialog::settings() const {
    PrepareSettings s;
    s.trim = trim_->isChecked();
    s.trimThresholdDbfs = threshold_->value();
    if (highPass_->isChecked()) s.highPassHz = corner_->value();
    if (loudness_->isChecked()) {
        s.loudnessLufs = target_->value();
        s.peakDbtp = ceiling_->value();
    }
    return s;
}

void PrepareDialog::chooseFile() {
    const QString chosen = QFileDialog::getOpenFileName(
        this, zt("Audio file"), file_->text(),
        zt("Audio files (*.wav *.flac *.ogg *.oga *.mp3 *.aif *.aiff);;All files (*)"));
    if (chosen.isEmpty()) return;
    file_->setText(chosen);
    fromFile_->setChecked(true);
}

void PrepareDialog::changed() {
    stopWork();
    if (playing_ && output_) output_->stop();
    playing_ = false;
    result_.reset();
    report_->setText(zt("Choose the steps and press Prepare."));
    updateButtons();
}

void PrepareDialog::updateButtons() {
    const bool speech = fromText_->isChecked();
    file_->setEnabled(!speech);
    browse_->setEnabled(!speech);
    text_->setEnabled(speech);
    voice_->setEnabled(speech);
    speed_->setEnabled(speech);
    threshold_->setEnabled(trim_->isChecked());
    corner_->setEnabled(highPass_->isChecked());
    target_->setEnabled(loudness_->isChecked());
    ceiling_->setEnabled(loudness_->isChecked());
    prepareButton_->setEnabled(!busy());
    prepareButton_->setText(busy() ? zt("Preparing...") : zt("&Prepare"));
    const bool ready = result_ != nullptr && !busy();
    ok_->setEnabled(ready);
    const QString silent = output_ ? output_->unavailableReason() : zt("No sound output");
    listen_->setEnabled(ready && silent.isEmpty());
    listen_->setToolTip(silent);
    listen_->setText(playing_ ? zt("Stop") : zt("&Listen"));
    if (ready) ok_->setDefault(true);
}

void PrepareDialog::prepare() {
    if (busy()) return;
    changed();
    const PrepareSettings s = settings();
    const bool speech = fromText_->isChecked();
    SpeechRequest request;
    request.text = text_->toPlainText().toStdString();
    request.voice = voice_->currentData().toString().toStdString();
    request.wordsPerMinute = speed_->value();
    const std::string path = file_->text().toStdString();
    preparedFrom_ = speech ? std::string() : path;
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    auto cancel = cancel_;
    auto progress = [this, cancel](const char* step) {
        const QString text = QString::fromUtf8(step) + QStringLiteral("...");
        QMetaObject::invokeMethod(this, [this, text] { if (busy()) report_->setText(text); }, Qt::QueuedConnection);
        return !cancel->load();
    };
    const uint64_t generation = ++generation_;
    worker_ = QThread::create([this, generation, s, speech, request, path, progress] {
        auto message = std::make_shared<PreparedMessage>();
        const PrepareStatus status = speech ? PrepareSpeech(request, s, *message, progress)
                                            : PrepareAudioFile(path, s, *message, progress);
        QMetaObject::invokeMethod(
            this, [this, generation, status, message] { finished(generation, status, message); },
            Qt::QueuedConnection);
    });
    report_->setText(zt("Preparing..."));
    worker_->start();
    updateButtons();
}

void PrepareDialog::finished(uint64_t generation, PrepareStatus status, std::shared_ptr<PreparedMessage> message) {
    if (!worker_ || generation != generation_) return;  // abandoned: the choices changed meanwhile
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
    if (!status.ok()) {
        report_->setText(QString::fromStdString(DescribePrepareStatus(status)));
    } else {
        QString text = zt("Source: %1\nBefore: %2\n").arg(QString::fromStdString(message->source),
                                                                       Figures(message->before));
        for (const std::string& step : message->steps) text += QStringLiteral("  ") + QString::fromStdString(step) + "\n";
        text += zt("After: %1").arg(Figures(message->after));
        report_->setText(text);
        result_ = std::make_unique<PreparedMessage>(std::move(*message));
    }
    updateButtons();
}

void PrepareDialog::stopWork() {
    if (!worker_) return;
    cancel_->store(true);
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
}

void PrepareDialog::listen() {
    if (!result_ || !output_) return;
    if (playing_) {
        output_->stop();
        playing_ = false;
    } else {
        playing_ = true;
        output_->play(std::make_shared<const std::vector<int16_t>>(result_->samples), static_cast<int>(kSirenSampleRate),
                      [this] {
                          playing_ = false;
                          updateButtons();
                      });
    }
    updateButtons();
}

double PrepareDialog::secondsSaved() const {
    return result_ ? result_->before.seconds - result_->after.seconds : 0.0;
}

void PrepareDialog::accept() {
    if (!result_) return;
    std::string target;
    if (preparedFrom_.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(speechFolder_, ec);
        target = SpeechFileName(speechFolder_, text_->toPlainText().toStdString());
    } else {
        target = PreparedFileName(preparedFrom_);
    }
    const PrepareStatus saved = SavePreparedMessage(target, preparedFrom_, result_->samples);
    if (!saved.ok()) {
        report_->setText(QString::fromStdString(DescribePrepareStatus(saved)));
        return;
    }
    savedPath_ = target;
    if (playing_ && output_) output_->stop();
    playing_ = false;
    QDialog::accept();
}

void PrepareDialog::reject() {
    stopWork();
    if (playing_ && output_) output_->stop();
    playing_ = false;
    QDialog::reject();
}

}  // namespace zorvek
