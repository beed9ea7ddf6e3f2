#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>

// Status codes of administrator-right requests, with the values macOS gives them.
enum AuthorizationStatus : std::int32_t {
    errAuthorizationSuccess = 0,
    errAuthorizationDenied = -60005,
    errAuthorizationCanceled = -60006,
    errAuthorizationToolExecuteFailure = -60031,
};

inline constexpr std::uint32_t kAuthorizationFlagDefaults = 0;
inline constexpr std::uint32_t kAuthorizationFlagInteractionAllowed = 1;
inline constexpr std::uint32_t kAuthorizationFlagExtendRights = 2;
inline constexpr std::uint32_t kAuthorizationFlagPreAuthorize = 16;

// One right asked for.
struct AuthorizationItem {
    QString name;
    std::uint32_t valueLength = 0;
    const void* value = nullptr;
    std::uint32_t flags = 0;
};

// The output of a process started with administrator rights.
class PrivilegedStream {
  public:
    virtual ~PrivilegedStream() = default;
    // Reads up to `size` bytes into `buffer`; 0 at the end of the output or on an error.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
    // Closes the stream; nothing is reported.
    virtual void close() = 0;
};

// An authorization obtained from `Authorization::create`.
using AuthorizationRef = std::uint64_t;

// Administrator rights: asked for once, used to start a tool, released.
class Authorization {
  public:
    virtual ~Authorization() = default;
    // Obtains `rights` now, asking the user where `flags` allow; errAuthorizationSuccess with
    // `reference` set when granted, another status (nothing to release) when refused, cancelled
    // or failed.
    virtual std::int32_t create(const QList<AuthorizationItem>& rights, std::uint32_t flags,
                                AuthorizationRef& reference) = 0;
    // Starts `tool` with `arguments` (not repeating the tool) under the rights of `reference`;
    // errAuthorizationSuccess when it was started with them, another status when not. Where the
    // process's output can be read, `stream` is set; it ends when the process has closed it.
    virtual std::int32_t executeWithPrivileges(AuthorizationRef reference, const QString& tool,
                                               std::uint32_t options,
                                               const QList<QByteArray>& arguments,
                                               std::unique_ptr<PrivilegedStream>& stream) = 0;
    // Releases `reference`; nothing is reported.
    virtual void free(AuthorizationRef reference, std::uint32_t flags) = 0;
};
