#include "platform/terminal/TerminalApplication.h"

#include <QByteArray>
#include <QList>

#include <string>

namespace {

// One line of input without its line break; nothing at the end of the input.
std::optional<std::string> readLine(std::FILE* input) {
    std::string line;
    for (int c = std::fgetc(input); c != '\n'; c = std::fgetc(input)) {
        if (c == EOF) {
            if (line.empty()) {
                return std::nullopt;
            }
            break;
        }
        line += static_cast<char>(c);
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

}  // namespace

class TerminalApplication::Item : public StatusItem {
  public:
    Item(TerminalApplication& application) : application_(application) {}

    void setTitle(const QString& title) override { title_ = title; }
    void setHighlightMode(bool) override {}
    void setAction(std::function<void()> action) override { action_ = std::move(action); }
    // The terminal reports clicks itself; the menu is always built by the click's action.
    void setMenuSource(std::function<StatusMenu()>,
                       std::function<void(const MenuEntry&)>) override {}

    std::optional<qsizetype> popUpStatusItemMenu(const StatusMenu& menu) override {
        std::FILE* out = application_.output_;
        QList<qsizetype> numbered;
        for (qsizetype i = 0; i < menu.entries.size(); ++i) {
            const MenuEntry& entry = menu.entries[i];
            if (entry.isSeparator) {
                std::fputs("    ----------------\n", out);
            } else if (entry.isActionable()) {
                numbered.append(i);
                std::fprintf(out, "%3lld) %s\n", static_cast<long long>(numbered.size()),
                             qUtf8Printable(entry.title));
            } else {
                std::fprintf(out, "     %s\n", qUtf8Printable(entry.title));
            }
        }
        for (;;) {
            std::fprintf(out, "Choose 1-%lld (Enter closes the menu): ",
                         static_cast<long long>(numbered.size()));
            std::fflush(out);
            const std::optional<std::string> line = readLine(application_.input_);
            if (!line) {
                application_.inputEnded_ = true;
                std::fputs("\n", out);
                return std::nullopt;
            }
            if (line->find_first_not_of(" \t") == std::string::npos) {
                return std::nullopt;
            }
            bool isNumber = false;
            const int choice = QByteArray::fromStdString(*line).trimmed().toInt(&isNumber);
            if (isNumber && choice >= 1 && choice <= numbered.size()) {
                return numbered[choice - 1];
            }
            std::fprintf(out, "No entry %s.\n", line->c_str());
        }
    }

    void click() {
        if (action_) {
            action_();
        }
    }
    const QString& title() const { return title_; }

  private:
    TerminalApplication& application_;
    QString title_;
    std::function<void()> action_;
};

TerminalApplication::TerminalApplication(std::FILE* input, std::FILE* output)
    : input_(input), output_(output) {}

TerminalApplication::~TerminalApplication() = default;

StatusItem* TerminalApplication::statusItemWithLength(double) {
    if (!item_) {
        item_ = std::make_unique<Item>(*this);
    }
    return item_.get();
}

void TerminalApplication::run(const std::function<void()>& didFinishLaunching) {
    running_ = true;
    didFinishLaunching();
    bool first = true;
    while (running_ && !inputEnded_) {
        std::fprintf(output_, "\n%s\n", qUtf8Printable(item_ ? item_->title() : QString()));
        if (first) {
            std::fputs("(Enter opens the menu; the end of the input quits)\n", output_);
            first = false;
        }
        std::fflush(output_);
        if (!readLine(input_)) {
            break;
        }
        if (item_) {
            item_->click();
        }
    }
    running_ = false;
}

void TerminalApplication::terminate() {
    running_ = false;
}
