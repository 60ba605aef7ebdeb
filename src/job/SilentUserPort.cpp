#include "job/SilentUserPort.h"

namespace zorvek {

void SilentUserPort::ShowMessage(const std::string& text, const std::string&, MessageIcon) {
    ++messages;
    if (text.empty()) ++emptyMessages;
    if (echo_) std::fprintf(echo_, "message: %s\n", text.c_str());
}

std::unique_ptr<ProgressPort> SilentUserPort::MakeProgress(const std::string&, bool) {
    return std::make_unique<SilentProgress>();
}

}  // namespace zorvek
