#include "host/demodriver.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <cstdio>

#include "host/frmdocument.h"
#include "host/frmlogin.h"
#include "host/frmmain.h"
#include "host/module1.h"
#include "viewer/viewer.h"

namespace orvenda {

DemoDriver::DemoDriver(Module1& app, DemoOptions options, QObject* parent)
    : QObject(parent), app_(app), options_(std::move(options)) {
  // A redraw is final once no other follows for a moment (cells still on their
  // way bring another).
  quiet_.setSingleShot(true);
  quiet_.setInterval(700);
  connect(&quiet_, &QTimer::timeout, this, &DemoDriver::Finish);
  deadline_.setSingleShot(true);
  connect(&deadline_, &QTimer::timeout, this,
          [this] { Fail(QStringLiteral("the map was not drawn in time")); });
}

void DemoDriver::FillLogin(frmLogin& form) const {
  if (!options_.autoLogin) return;
  form.txtUserName->setText(options_.user);
  form.txtPassword->setText(options_.password);
  // Pressed from the form's own modal loop.
  QTimer::singleShot(0, &form, [&form] { form.cmdOK->click(); });
}

void DemoDriver::Start(frmMain& main) {
  main_ = &main;
  if (!options_.openFirstMap) return;
  frmDocument* document = main.OpenMap(1);
  if (document == nullptr) {
    Fail(QStringLiteral("the user has no map to open"));
    return;
  }
  connect(document->Viewer1, &Viewer::MapRedrawn, this, &DemoDriver::OnRedrawn);
  deadline_.start(options_.timeoutSeconds * 1000);
}

void DemoDriver::OnRedrawn() {
  frmDocument* document = main_ ? main_->ActiveDocument() : nullptr;
  if (document == nullptr || document->Viewer1->PendingRequests() != 0) return;
  quiet_.start();
}

void DemoDriver::Finish() {
  deadline_.stop();
  if (!options_.screenshot.isEmpty()) {
    const QImage picture = main_->grab().toImage();
    QDir().mkpath(QFileInfo(options_.screenshot).absolutePath());
    if (!picture.save(options_.screenshot)) {
      Fail(QStringLiteral("could not write ") + options_.screenshot);
      return;
    }
    std::printf("Screenshot saved to %s\n",
                qPrintable(QFileInfo(options_.screenshot).absoluteFilePath()));
    std::fflush(stdout);
  }
  if (options_.quitAfterRedraw) main_->close();
}

void DemoDriver::Fail(const QString& why) {
  std::fprintf(stderr, "OrvendaDesk: %s\n", qPrintable(why));
  exitCode_ = 1;
  if (options_.quitAfterRedraw && main_ != nullptr) main_->close();
}

}  // namespace orvenda
