#pragma once

#include <cstdio>
#include <memory>

#include "platform/StatusBar.h"

// The status bar in a terminal, for machines without a graphical session or a system tray. The
// item is the line "exFAT"; Enter clicks it. The menu is printed with its actionable entries
// numbered (headers, disabled entries and separators are shown unnumbered), and a number chooses
// an entry. The end of the input ends the event loop, as Quit does.
class TerminalApplication : public Application {
  public:
    TerminalApplication(std::FILE* input, std::FILE* output);
    ~TerminalApplication() override;

    void run(const std::function<void()>& didFinishLaunching) override;
    void terminate() override;
    StatusItem* statusItemWithLength(double length) override;

  private:
    class Item;

    std::FILE* input_;
    std::FILE* output_;
    std::unique_ptr<Item> item_;
    bool running_ = false;
    bool inputEnded_ = false;
};
