#include "platform/terminal/TerminalAlerts.h"

void TerminalAlerts::runModal(const Alert& alert) {
    std::fprintf(output_, "\n!! %s\n", qUtf8Printable(alert.messageText));
    if (!alert.informativeText.isEmpty()) {
        std::fprintf(output_, "%s\n", qUtf8Printable(alert.informativeText));
    }
    std::fprintf(output_, "[%s] press Enter\n", qUtf8Printable(alert.defaultButton));
    std::fflush(output_);
    for (int c = std::fgetc(input_); c != EOF && c != '\n'; c = std::fgetc(input_)) {
    }
}
