#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <cstring>
#include <functional>
#include <optional>

#include "app/Paths.h"
#include "platform/Alerts.h"
#include "platform/Authorization.h"
#include "platform/Bundle.h"
#include "platform/FileSystemStats.h"
#include "platform/Files.h"
#include "platform/Languages.h"
#include "platform/Platform.h"
#include "platform/StatusBar.h"
#include "platform/Tasks.h"
#include "tests/Printers.h"

// A text from UTF-16 code units, for tests that need characters beyond ASCII.
inline QString U(const char16_t* units) {
    return QString::fromUtf16(units);
}

// Every fake records what it is asked to do in its own `calls` and, when `sharedLog` is set, in
// one log shared with the other fakes, for tests that care about the order across them.
class Recorder {
  public:
    QStringList calls;
    QStringList* sharedLog = nullptr;

  protected:
    void record(const QString& call) {
        calls.append(call);
        if (sharedLog != nullptr) {
            sharedLog->append(call);
        }
    }
};

// Answers each command line with scripted output (the empty output when nothing is scripted) and
// records every command line it is asked to start, as "run PATH ARG1 ARG2 ...".
class FakeTaskLauncher : public TaskLauncher, public Recorder {
  public:
    using Responder = std::function<QByteArray()>;

    void respond(const QString& launchPath, const QStringList& arguments,
                 const QByteArray& output) {
        respondWith(launchPath, arguments, [output] { return output; });
    }
    // The output is made when the command runs, so a command can change what later ones print.
    void respondWith(const QString& launchPath, const QStringList& arguments, Responder responder) {
        responders_[line(launchPath, arguments)] = std::move(responder);
    }
    // Makes starting this command line throw, as the platform does for a missing program.
    void failToStart(const QString& launchPath, const QStringList& arguments) {
        unstartable_.append(line(launchPath, arguments));
    }

    std::unique_ptr<Task> launch(const QString& launchPath, const QStringList& arguments) override {
        const QString command = line(launchPath, arguments);
        record("run " + command);
        if (unstartable_.contains(command)) {
            throw PlatformError("cannot start " + command.toStdString());
        }
        const auto responder = responders_.constFind(command);
        return std::make_unique<ScriptedTask>(responder == responders_.cend() ? QByteArray()
                                                                              : (*responder)());
    }

    static QString line(const QString& launchPath, const QStringList& arguments) {
        return (QStringList{launchPath} + arguments).join(u' ');
    }

  private:
    class ScriptedTask : public Task {
      public:
        explicit ScriptedTask(QByteArray output) : output_(std::move(output)) {}
        QByteArray readDataToEndOfFile() override { return output_; }
        void waitUntilExit() override {}
        int terminationStatus() override { return 0; }

      private:
        QByteArray output_;
    };

    QHash<QString, Responder> responders_;
    QStringList unstartable_;
};

// A file manager over an imaginary file system of files, directories and symbolic links, keyed by
// absolute path. Records "exists P", "isLink P", "mkdir P", "symlink P -> T" and "remove P".
class FakeFileManager : public FileManager, public Recorder {
  public:
    enum class Kind { File, Directory, Link };
    struct Item {
        Kind kind;
        QString target;
    };

    void addFile(const QString& path) { items[path] = {Kind::File, {}}; }
    void addDirectory(const QString& path) { items[path] = {Kind::Directory, {}}; }
    void addLink(const QString& path, const QString& target) { items[path] = {Kind::Link, target}; }

    QString homeDirectory() override { return home; }

    bool fileExistsAtPath(const QString& path) override {
        record("exists " + path);
        return resolve(path).has_value();
    }
    bool fileExistsAtPath(const QString& path, bool& isDirectory) override {
        record("exists " + path);
        const std::optional<Item> item = resolve(path);
        if (item) {
            isDirectory = item->kind == Kind::Directory;
        }
        return item.has_value();
    }
    bool isSymbolicLinkAtPath(const QString& path) override {
        record("isLink " + path);
        return items.contains(path) && items[path].kind == Kind::Link;
    }
    bool createDirectoryAtPath(const QString& path) override {
        record("mkdir " + path);
        const std::optional<Item> parent = resolve(deleteLastPathComponent(path));
        if (items.contains(path) || !parent || parent->kind != Kind::Directory) {
            return false;
        }
        addDirectory(path);
        return true;
    }
    bool createSymbolicLinkAtPath(const QString& path, const QString& destination) override {
        record("symlink " + path + " -> " + destination);
        if (items.contains(path)) {
            return false;
        }
        addLink(path, destination);
        return true;
    }
    bool removeFileAtPath(const QString& path) override {
        record("remove " + path);
        return items.remove(path) > 0;
    }

    QString home = "/Users/u";
    QMap<QString, Item> items;

  private:
    // The item at `path` with links followed (absolute targets only, as ours are).
    std::optional<Item> resolve(QString path) const {
        for (int depth = 0; depth < 8; ++depth) {
            const auto item = items.constFind(path);
            if (item == items.cend()) {
                return std::nullopt;
            }
            if (item->kind != Kind::Link) {
                return *item;
            }
            path = item->target;
        }
        return std::nullopt;
    }
};

// File-system statistics scripted per path; nothing for any other path.
class FakeFileSystemStats : public FileSystemStats, public Recorder {
  public:
    std::optional<FileSystemStatistics> statisticsAtPath(const QString& path) override {
        record("statfs " + path);
        const auto found = figures.constFind(path);
        return found == figures.cend() ? std::nullopt : std::optional(*found);
    }

    QMap<QString, FileSystemStatistics> figures;
};

// Records each alert it is asked to show and returns at once, as if "OK" had been pressed.
class FakeAlertPresenter : public AlertPresenter, public Recorder {
  public:
    void runModal(const Alert& alert) override {
        record("alert " + alert.messageText);
        shown.append(alert);
    }

    QList<Alert> shown;
};

// A preference store whose list of languages the test sets; English-less by default.
class FakeLanguages : public LanguagePreferences {
  public:
    QStringList preferredLanguages() override {
        ++reads;
        return languages;
    }

    QStringList languages;
    int reads = 0;
};

// A status item that records what it is given and chooses the menu entry the test picked.
class FakeStatusItem : public StatusItem, public Recorder {
  public:
    void setTitle(const QString& text) override {
        record("title " + text);
        title = text;
    }
    void setHighlightMode(bool on) override { highlight = on; }
    void setAction(std::function<void()> clicked) override { action = std::move(clicked); }
    void setMenuSource(std::function<StatusMenu()> buildMenu,
                       std::function<void(const MenuEntry&)> performEntry) override {
        build = std::move(buildMenu);
        perform = std::move(performEntry);
    }
    std::optional<qsizetype> popUpStatusItemMenu(const StatusMenu& menu) override {
        record("popUp");
        shownMenus.append(menu);
        if (!chooseTitle) {
            return std::nullopt;
        }
        for (qsizetype i = 0; i < menu.entries.size(); ++i) {
            if (menu.entries[i].title == *chooseTitle) {
                return i;
            }
        }
        return std::nullopt;
    }

    QString title;
    bool highlight = false;
    std::function<void()> action;
    std::function<StatusMenu()> build;
    std::function<void(const MenuEntry&)> perform;
    QList<StatusMenu> shownMenus;
    // The title of the entry the user chooses in the next menus; none dismisses them.
    std::optional<QString> chooseTitle;
};

// An application whose event loop only runs the launch callback.
class FakeApplication : public Application, public Recorder {
  public:
    void run(const std::function<void()>& didFinishLaunching) override {
        record("run");
        didFinishLaunching();
    }
    void terminate() override { record("terminate"); }
    StatusItem* statusItemWithLength(double length) override {
        record("statusItemWithLength " + QString::number(length));
        return &item;
    }

    FakeStatusItem item;
};

// A bundle at a path the test sets.
class FakeBundle : public Bundle, public Recorder {
  public:
    QString bundlePath() override {
        record("bundlePath");
        return path;
    }

    QString path = "/Applications/exFAT.app";
};

// Administrator rights as the test scripts them. Records "create NAME flags F",
// "execute TOOL ARG...", "read N", "close" and "free F".
class FakeAuthorization : public Authorization, public Recorder {
  public:
    std::int32_t create(const QList<AuthorizationItem>& rights, std::uint32_t flags,
                        AuthorizationRef& reference) override {
        QStringList names;
        for (const AuthorizationItem& item : rights) {
            names.append(QString("%1 (value %2/%3, flags %4)")
                             .arg(item.name)
                             .arg(item.valueLength)
                             .arg(item.value == nullptr ? "null" : "set")
                             .arg(item.flags));
        }
        record("create " + names.join(", ") + " flags " + QString::number(flags));
        if (createStatus == errAuthorizationSuccess) {
            reference = 42;
        }
        return createStatus;
    }
    std::int32_t executeWithPrivileges(AuthorizationRef reference, const QString& tool,
                                       std::uint32_t options, const QList<QByteArray>& arguments,
                                       std::unique_ptr<PrivilegedStream>& stream) override {
        QStringList line = {"execute", QString::number(reference), tool, QString::number(options)};
        for (const QByteArray& argument : arguments) {
            line.append(QString::fromUtf8(argument));
        }
        record(line.join(u' '));
        if (stream != nullptr) {
            record("stream was not cleared");
        }
        if (onExecute) {
            onExecute();
        }
        if (output) {
            stream = std::make_unique<Stream>(*this, *output);
        }
        return executeStatus;
    }
    void free(AuthorizationRef reference, std::uint32_t flags) override {
        record("free " + QString::number(reference) + " flags " + QString::number(flags));
    }

    std::int32_t createStatus = errAuthorizationSuccess;
    std::int32_t executeStatus = errAuthorizationSuccess;
    // The privileged process's output; none hands back no stream.
    std::optional<QByteArray> output = QByteArray("done\n");
    // What the privileged script does to the imaginary system.
    std::function<void()> onExecute;

  private:
    class Stream : public PrivilegedStream {
      public:
        Stream(FakeAuthorization& owner, QByteArray bytes)
            : owner_(owner), bytes_(std::move(bytes)) {}
        std::size_t read(char* buffer, std::size_t size) override {
            const std::size_t count =
                std::min(size, static_cast<std::size_t>(bytes_.size()) - position_);
            std::memcpy(buffer, bytes_.constData() + position_, count);
            position_ += count;
            owner_.record("read " + QString::number(size) + " -> " + QString::number(count));
            return count;
        }
        void close() override { owner_.record("close"); }

      private:
        FakeAuthorization& owner_;
        QByteArray bytes_;
        std::size_t position_ = 0;
    };
};

// All the fakes, bundled as the controller takes them, with the macOS command paths.
struct FakePlatform {
    FakeTaskLauncher tasks;
    FakeFileManager files;
    FakeFileSystemStats stats;
    FakeAlertPresenter alerts;
    FakeLanguages languages;
    FakeApplication application;
    FakeBundle bundle;
    FakeAuthorization authorization;
    Platform platform{tasks,       files,  stats,         alerts,           languages,
                      application, bundle, authorization, Commands::macOS()};

    // The bundle with the pieces given here in place of the fakes (null keeps the fake).
    Platform with(Commands commands, TaskLauncher* realTasks, FileManager* realFiles = nullptr,
                  FileSystemStats* realStats = nullptr,
                  Authorization* realAuthorization = nullptr) {
        return Platform{realTasks ? *realTasks : tasks,
                        realFiles ? *realFiles : files,
                        realStats ? *realStats : stats,
                        alerts,
                        languages,
                        application,
                        bundle,
                        realAuthorization ? *realAuthorization : authorization,
                        std::move(commands)};
    }

    // Makes every fake also write to `log`.
    void shareLog(QStringList& log) {
        tasks.sharedLog = &log;
        files.sharedLog = &log;
        stats.sharedLog = &log;
        alerts.sharedLog = &log;
        application.sharedLog = &log;
        application.item.sharedLog = &log;
        bundle.sharedLog = &log;
        authorization.sharedLog = &log;
    }
};
