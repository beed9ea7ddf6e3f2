#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include "platform/Files.h"
#include "platform/Tasks.h"

// A text from UTF-16 code units, for tests that need characters beyond ASCII.
inline QString U(const char16_t* units) {
    return QString::fromUtf16(units);
}

// Answers each command line with scripted output (the empty output when nothing is scripted) and
// records every command line it is asked to start, as "path arg1 arg2 ...".
class FakeTaskLauncher : public TaskLauncher {
  public:
    void respond(const QString& launchPath, const QStringList& arguments,
                 const QByteArray& output) {
        outputs_[key(launchPath, arguments)] = output;
    }
    // Makes starting this command line throw, as the platform does for a missing program.
    void failToStart(const QString& launchPath, const QStringList& arguments) {
        unstartable_.append(key(launchPath, arguments));
    }

    std::unique_ptr<Task> launch(const QString& launchPath, const QStringList& arguments) override {
        const QString line = key(launchPath, arguments);
        calls.append(line);
        if (unstartable_.contains(line)) {
            throw PlatformError("cannot start " + line.toStdString());
        }
        return std::make_unique<ScriptedTask>(outputs_.value(line));
    }

    QStringList calls;

  private:
    class ScriptedTask : public Task {
      public:
        explicit ScriptedTask(QByteArray output) : output_(std::move(output)) {}
        QByteArray readDataToEndOfFile() override { return output_; }
        void waitUntilExit() override {}

      private:
        QByteArray output_;
    };

    static QString key(const QString& launchPath, const QStringList& arguments) {
        return (QStringList{launchPath} + arguments).join(u' ');
    }

    QHash<QString, QByteArray> outputs_;
    QStringList unstartable_;
};

// A file manager over an imaginary file system.
class FakeFileManager : public FileManager {
  public:
    QString homeDirectory() override { return home; }

    QString home = "/Users/u";
};
