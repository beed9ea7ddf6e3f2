#include "platform/linux/LinuxAuthorization.h"

#include <QFile>

#include <cstring>

namespace {

// The output of a privileged process that has already ended, read from memory.
class CapturedStream : public PrivilegedStream {
  public:
    explicit CapturedStream(QByteArray output) : output_(std::move(output)) {}

    std::size_t read(char* buffer, std::size_t size) override {
        const std::size_t left = static_cast<std::size_t>(output_.size()) - position_;
        const std::size_t count = std::min(size, left);
        std::memcpy(buffer, output_.constData() + position_, count);
        position_ += count;
        return count;
    }
    void close() override { output_.clear(); }

  private:
    QByteArray output_;
    std::size_t position_ = 0;
};

}  // namespace

LinuxAuthorization::LinuxAuthorization(TaskLauncher& tasks, std::function<bool()> isRoot,
                                       QString pkexec)
    : tasks_(tasks), isRoot_(std::move(isRoot)), pkexec_(std::move(pkexec)) {}

std::int32_t LinuxAuthorization::create(const QList<AuthorizationItem>& rights, std::uint32_t,
                                        AuthorizationRef& reference) {
    for (const AuthorizationItem& item : rights) {
        if (item.name != "system.privilege.admin") {
            return errAuthorizationDenied;
        }
    }
    // Without root, polkit asks when the tool is started: pkexec has to be there to ask at all.
    if (!isRoot_() && !QFile::exists(pkexec_)) {
        return errAuthorizationDenied;
    }
    reference = next_++;
    live_.append(reference);
    return errAuthorizationSuccess;
}

std::int32_t LinuxAuthorization::executeWithPrivileges(AuthorizationRef reference,
                                                       const QString& tool, std::uint32_t,
                                                       const QList<QByteArray>& arguments,
                                                       std::unique_ptr<PrivilegedStream>& stream) {
    if (!live_.contains(reference)) {
        return errAuthorizationDenied;
    }
    QStringList argumentTexts;
    for (const QByteArray& argument : arguments) {
        argumentTexts.append(QString::fromUtf8(argument));
    }
    const bool viaPolkit = !isRoot_();
    const QString launchPath = viaPolkit ? pkexec_ : tool;
    if (viaPolkit) {
        // The internal text agent would read the terminal that the menu reads.
        argumentTexts = QStringList{"--disable-internal-agent", tool} + argumentTexts;
    }
    std::unique_ptr<Task> task;
    try {
        task = tasks_.launch(launchPath, argumentTexts);
    } catch (const PlatformError&) {
        return errAuthorizationToolExecuteFailure;
    }
    // pkexec's verdict comes only with its exit, so the run is waited for here and its output
    // handed back complete.
    QByteArray output;
    try {
        output = task->readDataToEndOfFile();
        task->waitUntilExit();
    } catch (const PlatformError&) {
        // Cut off: as root the tool had been started; through polkit nobody can tell whether the
        // right was ever granted.
        return viaPolkit ? errAuthorizationCanceled : errAuthorizationSuccess;
    }
    if (viaPolkit) {
        const int exit = task->terminationStatus();
        if (exit == 126 || exit == 127) {
            return errAuthorizationCanceled;
        }
    }
    stream = std::make_unique<CapturedStream>(output);
    return errAuthorizationSuccess;
}

void LinuxAuthorization::free(AuthorizationRef reference, std::uint32_t) {
    live_.removeAll(reference);
}
