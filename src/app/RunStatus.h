#pragma once
// The status bar's account of how the last siren command ended: an icon and
// one line, kept until the next such command starts.
#include <QWidget>

#include "operations/RunSummary.h"

class QLabel;

namespace zorvek {

class RunStatus : public QWidget {
public:
    explicit RunStatus(QWidget* parent = nullptr);
    // `adapter`: the adapter the run opened, as it names itself (none: not shown).
    void show(const RunSummary& summary, const std::string& adapter = {});
    void clear();
    QString text() const;
    QString adapterText() const;
    RunSummary::Tone tone() const { return tone_; }

private:
    QLabel* icon_;
    QLabel* text_;
    QLabel* adapter_;
    RunSummary::Tone tone_ = RunSummary::Tone::Success;
};

}  // namespace zorvek
