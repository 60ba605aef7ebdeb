#pragma once
// "Prepare...": makes a row's message ready for a siren from any audio file or
// from typed text: trim, horn high-pass and loudness, with before and after
// figures, a listen to the result, and OK saving it as a new WAV file.
#include <QDialog>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "audio/MessagePreparation.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QThread;

namespace zorvek {

class SoundOutput;

class PrepareDialog : public QDialog {
public:
    // `sourcePath`: the row's file (may be empty). Speech is saved in `speechFolder`.
    // `output` plays the result; null or unavailable: Listen stays off.
    PrepareDialog(int messageNumber, const std::string& sourcePath, std::string speechFolder, SoundOutput* output,
                  QWidget* parent = nullptr);
    ~PrepareDialog() override;

    // Runs the preparation with the dialog's choices (the Prepare button).
    void prepare();
    bool busy() const { return worker_ != nullptr; }
    // The prepared message once Prepare has finished and nothing changed since.
    const PreparedMessage* result() const { return result_.get(); }
    // After OK: the file written, and how much shorter the message became.
    const std::string& savedPath() const { return savedPath_; }
    double secondsSaved() const;

    void accept() override;
    void reject() override;

private:
    QWidget* buildSource(const std::string& sourcePath);
    QWidget* buildSteps();
    void chooseFile();
    void changed();
    void finished(uint64_t generation, PrepareStatus status, std::shared_ptr<PreparedMessage> message);
    void listen();
    void stopWork();
    void updateButtons();
    PrepareSettings settings() const;

    std::string speechFolder_;
    SoundOutput* output_;
    QRadioButton* fromFile_ = nullptr;
    QRadioButton* fromText_ = nullptr;
    QLineEdit* file_ = nullptr;
    QPushButton* browse_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QComboBox* voice_ = nullptr;
    QSpinBox* speed_ = nullptr;
    QCheckBox* trim_ = nullptr;
    QDoubleSpinBox* threshold_ = nullptr;
    QCheckBox* highPass_ = nullptr;
    QSpinBox* corner_ = nullptr;
    QCheckBox* loudness_ = nullptr;
    QDoubleSpinBox* target_ = nullptr;
    QDoubleSpinBox* ceiling_ = nullptr;
    QLabel* report_ = nullptr;
    QPushButton* prepareButton_ = nullptr;
    QPushButton* listen_ = nullptr;
    QPushButton* ok_ = nullptr;
    bool playing_ = false;
    QThread* worker_ = nullptr;
    uint64_t generation_ = 0;  // of the work whose result is still wanted
    std::shared_ptr<std::atomic<bool>> cancel_;
    std::unique_ptr<PreparedMessage> result_;
    std::string preparedFrom_;  // the source file of result_, empty for speech
    std::string savedPath_;
};

}  // namespace zorvek
