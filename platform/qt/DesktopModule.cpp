// The entry point of the desktop module.

#include "platform/DesktopFrontEnd.h"
#include "platform/qt/QtApplication.h"

namespace {

class QtDesktopFrontEnd : public DesktopFrontEnd {
  public:
    explicit QtDesktopFrontEnd(std::unique_ptr<QtApplication> application)
        : application_(std::move(application)) {}

    Application& application() override { return *application_; }
    AlertPresenter& alerts() override { return alerts_; }

  private:
    std::unique_ptr<QtApplication> application_;
    QtAlerts alerts_;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) DesktopFrontEnd* exfatbarCreateDesktopFrontEnd(
    QString* whyNot) {
    std::unique_ptr<QtApplication> application = QtApplication::create(whyNot);
    return application ? new QtDesktopFrontEnd(std::move(application)) : nullptr;
}
