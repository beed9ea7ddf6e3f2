#pragma once

#include <cstdio>

#include "platform/Alerts.h"

// Alerts in a terminal: the message, the informative text and the button are printed, and the
// alert waits for Enter (or the end of the input).
class TerminalAlerts : public AlertPresenter {
  public:
    TerminalAlerts(std::FILE* input, std::FILE* output) : input_(input), output_(output) {}

    void runModal(const Alert& alert) override;

  private:
    std::FILE* input_;
    std::FILE* output_;
};
