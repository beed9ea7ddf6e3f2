#pragma once

#include <functional>

#include "platform/Authorization.h"
#include "platform/Tasks.h"

// Administrator rights on Linux. A process that already runs as root has them without asking
// and runs the tool itself. Any other asks polkit: the tool runs through pkexec, whose own dialog
// asks for the credentials; pkexec's "dismissed" (126) and "not authorized" or "no
// authentication agent" (127) count as not granted.
class LinuxAuthorization : public Authorization {
  public:
    // `tasks` starts the tool (or pkexec, found at `pkexec`); `isRoot` tells whether this process
    // runs as root.
    LinuxAuthorization(TaskLauncher& tasks, std::function<bool()> isRoot,
                       QString pkexec = "/usr/bin/pkexec");

    std::int32_t create(const QList<AuthorizationItem>& rights, std::uint32_t flags,
                        AuthorizationRef& reference) override;
    std::int32_t executeWithPrivileges(AuthorizationRef reference, const QString& tool,
                                       std::uint32_t options, const QList<QByteArray>& arguments,
                                       std::unique_ptr<PrivilegedStream>& stream) override;
    void free(AuthorizationRef reference, std::uint32_t flags) override;

  private:
    TaskLauncher& tasks_;
    std::function<bool()> isRoot_;
    QString pkexec_;
    AuthorizationRef next_ = 1;
    QList<AuthorizationRef> live_;
};
